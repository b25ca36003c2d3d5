# Signs release files with osslsigncode when a certificate is given, and leaves them unsigned
# otherwise. The environment says how:
#   VIGILON_SIGN_PFX       the certificate and its key, a PKCS#12 file
#   VIGILON_SIGN_PASSWORD  its password; unset or empty for a file that has none
#   VIGILON_SIGN_TIMESTAMP an RFC 3161 time-stamp server's address (optional)
# The password reaches osslsigncode in a file only this user can read, not on its command line,
# where every user of the machine could see it.
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
  string(RANDOM LENGTH 12 tag)
  get_filename_component(folder "${file}" DIRECTORY)
  set(private "${folder}/.sign-${tag}")
  file(MAKE_DIRECTORY "${private}")
  file(CHMOD "${private}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  # osslsigncode refuses an empty password file ("Failed to read password from file"): a
  # certificate without a password is given none.
  set(password "")
  if(DEFINED ENV{VIGILON_SIGN_PASSWORD} AND NOT "$ENV{VIGILON_SIGN_PASSWORD}" STREQUAL "")
    file(WRITE "${private}/password" "$ENV{VIGILON_SIGN_PASSWORD}")
    set(password -readpass "${private}/password")
  endif()
  execute_process(
    COMMAND ${osslsigncode} sign -pkcs12 "$ENV{VIGILON_SIGN_PFX}" ${password} -h sha256
            -n Vigilon ${timestamp} -in "${file}" -out "${file}.signed"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  file(REMOVE_RECURSE "${private}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "osslsigncode could not sign ${file}:\n${output}")
  endif()
  file(RENAME "${file}.signed" "${file}")
endfunction()
