# The package step's pre-build script: signs the exe CPack staged, before the ZIP and the MSI are
# made of it, when a certificate is given (see vigilon_sign.cmake). msi.cmake signs the MSI.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/vigilon_sign.cmake)

if(CPACK_TEMPORARY_INSTALL_DIRECTORY AND EXISTS ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/vigilon.exe)
  vigilon_sign(${CPACK_TEMPORARY_INSTALL_DIRECTORY}/vigilon.exe)
endif()
