# Builds the per-user MSI from vigilon.wxs with wixl. Run as a CPack post-build script of the
# package target, or with `cmake -D... -P msi.cmake` for the installer tests; either way these
# variables say what to build:
#   CPACK_VIGILON_WIXL     the wixl program
#   CPACK_VIGILON_EXE      vigilon.exe to install
#   CPACK_VIGILON_VERSION  the product version, major.minor.patch
#   CPACK_VIGILON_MSI      the MSI to write
cmake_minimum_required(VERSION 3.25)

foreach(name WIXL EXE VERSION MSI)
  if(NOT CPACK_VIGILON_${name})
    message(FATAL_ERROR "msi.cmake: CPACK_VIGILON_${name} is not set")
  endif()
endforeach()

# CPack runs this before it copies the ZIP to the output folder, which may not exist yet.
cmake_path(GET CPACK_VIGILON_MSI PARENT_PATH msi_folder)
file(MAKE_DIRECTORY ${msi_folder})
file(REMOVE ${CPACK_VIGILON_MSI})
# wixl takes source files relative to the folder it runs in.
cmake_path(GET CPACK_VIGILON_EXE PARENT_PATH exe_folder)
cmake_path(GET CPACK_VIGILON_EXE FILENAME exe_name)
execute_process(
  COMMAND ${CPACK_VIGILON_WIXL} --arch x64 -D Version=${CPACK_VIGILON_VERSION} -D Exe=${exe_name}
          -o ${CPACK_VIGILON_MSI} ${CMAKE_CURRENT_LIST_DIR}/vigilon.wxs
  WORKING_DIRECTORY ${exe_folder}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
# wixl can fail and still exit with 0 (an output it cannot write), so the MSI itself is the proof.
if(NOT result EQUAL 0 OR NOT EXISTS ${CPACK_VIGILON_MSI})
  message(FATAL_ERROR "wixl did not make ${CPACK_VIGILON_MSI} (exit code ${result}):\n${output}")
endif()
