# Signs release files with osslsigncode when a certificate is given, and leaves them unsigned
# otherwise. The environment says how:
#   VIGILON_SIGN_PFX       the certificate and its key, a PKCS#12 file
#   VIGILON_SIGN_PASSWORD  its password
#   VIGILON_SIGN_TIMESTAMP an RFC 3161 time-stamp server's address (optional)
# Included by the package step: as a CPack pre-build script it signs the exe CPack staged, before
# the ZIP and the MSI are made of it; msi.cmake calls vigilon_sign for the MSI.
cmake_minimum_required(VERSION 3.25)

function(vigilon_sign file)
  if(NOT DEFINED ENV{VIGILON_SIGN_PFX} OR "$ENV{VIGILON_SIGN_PFX}" STREQUAL "")
    return()
  endif()
  find_program(osslsigncode osslsigncode REQUIRED)
  set(timestamp "")
  if(DEFINED ENV{VIGILON_SIGN_TIMESTAMP} AND NOT "$ENV{VIGILON_SIGN_TIMESTAMP}" STREQUAL "")
    set(timestamp -ts $ENV{VIGILON_SIGN_TIMESTAMP})
  endif()
  execute_process(
    COMMAND ${osslsigncode} sign -pkcs12 $ENV{VIGILON_SIGN_PFX} -pass $ENV{VIGILON_SIGN_PASSWORD} -h sha256
            -n Vigilon ${timestamp} -in ${file} -out ${file}.signed
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "osslsigncode could not sign ${file}:\n${output}")
  endif()
  file(RENAME ${file}.signed ${file})
endfunction()

# As a CPack pre-build script: the staged exe.
if(CPACK_TEMPORARY_INSTALL_DIRECTORY AND EXISTS ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/vigilon.exe)
  vigilon_sign(${CPACK_TEMPORARY_INSTALL_DIRECTORY}/vigilon.exe)
endif()
