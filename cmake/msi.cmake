# Builds the per-user MSI from vigilon.wxs with wixl. Run as a CPack post-build script of the
# package target, or with `cmake -D... -P msi.cmake` for the installer tests; either way these
# variables say what to build:
#   CPACK_VIGILON_WIXL     the wixl program
#   CPACK_VIGILON_EXE      vigilon.exe to install
#   CPACK_VIGILON_ICON     vigilon.ico, for the Start menu and "Apps & features"
#   CPACK_VIGILON_VERSION  the product version, major.minor.patch
#   CPACK_VIGILON_MSI      the MSI to write
#   CPACK_VIGILON_MSIBUILD msitools' msibuild, which finishes the tables wixl leaves short
#   CPACK_VIGILON_MSIINFO  msitools' msiinfo
# As a CPack script it installs the exe CPack staged (signed, when a certificate is given), and
# signs the MSI too (vigilon_sign.cmake), and puts the administrative template beside it.
cmake_minimum_required(VERSION 3.25)

foreach(name WIXL EXE ICON VERSION MSI MSIBUILD MSIINFO)
  if(NOT CPACK_VIGILON_${name})
    message(FATAL_ERROR "msi.cmake: CPACK_VIGILON_${name} is not set")
  endif()
endforeach()

# CPack runs this before it copies the ZIP to the output folder, which may not exist yet.
cmake_path(GET CPACK_VIGILON_MSI PARENT_PATH msi_folder)
file(MAKE_DIRECTORY ${msi_folder})
file(REMOVE ${CPACK_VIGILON_MSI})
set(exe ${CPACK_VIGILON_EXE})
if(CPACK_TEMPORARY_INSTALL_DIRECTORY AND EXISTS ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/vigilon.exe)
  set(exe ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/vigilon.exe)
endif()
# wixl takes source files relative to the folder it runs in.
cmake_path(GET exe PARENT_PATH exe_folder)
cmake_path(GET exe FILENAME exe_name)
cmake_path(RELATIVE_PATH CPACK_VIGILON_ICON BASE_DIRECTORY ${exe_folder} OUTPUT_VARIABLE icon)
execute_process(
  COMMAND ${CPACK_VIGILON_WIXL} --arch x64 -D Version=${CPACK_VIGILON_VERSION} -D Exe=${exe_name}
          -D Icon=${icon} -o ${CPACK_VIGILON_MSI} ${CMAKE_CURRENT_LIST_DIR}/vigilon.wxs
  WORKING_DIRECTORY ${exe_folder}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
# wixl can fail and still exit with 0 (an output it cannot write), so the MSI itself is the proof.
if(NOT result EQUAL 0 OR NOT EXISTS ${CPACK_VIGILON_MSI})
  message(FATAL_ERROR "wixl did not make ${CPACK_VIGILON_MSI} (exit code ${result}):\n${output}")
endif()

# What wixl 0.101 cannot write, written into its tables afterwards:
#  - the exe's file version in the File table, as its version resource has it;
#  - a rebuild of the same version upgrades in place: the upgrade row takes its own version too
#    (msidbUpgradeAttributesVersionMaxInclusive, 0x200), not only older ones.
function(msi_run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (exit code ${result}):\n${output}")
  endif()
endfunction()
msi_run(${CPACK_VIGILON_MSIBUILD} ${CPACK_VIGILON_MSI} -q
        "UPDATE `File` SET `Version` = '${CPACK_VIGILON_VERSION}.0' WHERE `File` = 'vigilon.exe'")
# A folder of the MSI's own: the installer tests build several MSIs side by side, at once.
set(tables_folder ${CPACK_VIGILON_MSI}.tables)
file(MAKE_DIRECTORY ${tables_folder})
set(upgrade_idt ${tables_folder}/Upgrade.idt)
execute_process(COMMAND ${CPACK_VIGILON_MSIINFO} export ${CPACK_VIGILON_MSI} Upgrade OUTPUT_FILE ${upgrade_idt}
                RESULT_VARIABLE result)
file(READ ${upgrade_idt} upgrade)
string(REPLACE "\t${CPACK_VIGILON_VERSION}\t\t1\t\tWIX_UPGRADE_DETECTED" "\t${CPACK_VIGILON_VERSION}\t\t513\t\tWIX_UPGRADE_DETECTED"
       same_version ${upgrade})
if(result OR same_version STREQUAL upgrade)
  message(FATAL_ERROR "msi.cmake: the Upgrade table is not as wixl wrote it before:\n${upgrade}")
endif()
file(WRITE ${upgrade_idt} ${same_version})
msi_run(${CPACK_VIGILON_MSIBUILD} ${CPACK_VIGILON_MSI} -i ${upgrade_idt})
file(REMOVE_RECURSE ${tables_folder})

if(CPACK_TEMPORARY_INSTALL_DIRECTORY)
  include(${CMAKE_CURRENT_LIST_DIR}/vigilon_sign.cmake)
  vigilon_sign(${CPACK_VIGILON_MSI})
  # The administrative template beside the MSI, as in the ZIP.
  file(COPY ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/policy DESTINATION ${msi_folder})
endif()
