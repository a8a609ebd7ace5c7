# Authenticode signing of the executable, with a time stamp so that the signature outlives its
# certificate. A release build names its own certificate, key and time-stamp server. Any other
# build signs and time-stamps with a development identity made once in its build tree. That
# way every build is signed the same way a release is, with no release key and no network.

set(KESTREL_SIGNING_CERTIFICATES "" CACHE FILEPATH
    "PEM file: the code-signing certificate and its chain (empty: a development identity)")
set(KESTREL_SIGNING_KEY "" CACHE FILEPATH "PEM file: the private key of that certificate")
set(KESTREL_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for a release signature")

find_program(KESTREL_OSSLSIGNCODE osslsigncode REQUIRED)

if(KESTREL_SIGNING_CERTIFICATES)
  if(NOT KESTREL_SIGNING_KEY OR NOT KESTREL_TIMESTAMP_URL)
    message(FATAL_ERROR "KESTREL_SIGNING_CERTIFICATES needs KESTREL_SIGNING_KEY and KESTREL_TIMESTAMP_URL")
  endif()
  set(KESTREL_SIGNING_OPTIONS
      -certs ${KESTREL_SIGNING_CERTIFICATES} -key ${KESTREL_SIGNING_KEY} -ts ${KESTREL_TIMESTAMP_URL})
  set(KESTREL_SIGNING_INPUTS ${KESTREL_SIGNING_CERTIFICATES} ${KESTREL_SIGNING_KEY})
else()
  set(identity_dir ${CMAKE_BINARY_DIR}/signing)
  set(KESTREL_SIGNING_INPUTS
      ${identity_dir}/signer-chain.pem ${identity_dir}/signer.key
      ${identity_dir}/tsa-chain.pem ${identity_dir}/tsa.key)
  add_custom_command(OUTPUT ${KESTREL_SIGNING_INPUTS} ${identity_dir}/ca.pem
    COMMAND ${PROJECT_SOURCE_DIR}/tools/make-dev-signing-identity.sh ${identity_dir}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/make-dev-signing-identity.sh
    VERBATIM)
  add_custom_target(kestrel_dev_signing_identity DEPENDS ${KESTREL_SIGNING_INPUTS})
  # osslsigncode's own time-stamp authority answers in place of a server.
  set(KESTREL_SIGNING_OPTIONS
      -certs ${identity_dir}/signer-chain.pem -key ${identity_dir}/signer.key
      -TSA-certs ${identity_dir}/tsa-chain.pem -TSA-key ${identity_dir}/tsa.key)
endif()

function(kestrel_sign_executable target)
  if(TARGET kestrel_dev_signing_identity)
    add_dependencies(${target} kestrel_dev_signing_identity)
  endif()
  # A new certificate means a new signature, which only a fresh link brings about.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${KESTREL_SIGNING_INPUTS})

  # Signing goes to a side file and then replaces the linked one, so an interrupted signature
  # never leaves a half-written executable; a failure makes make delete the unsigned one.
  set(linked $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E rm -f ${linked}.signed
    COMMAND ${KESTREL_OSSLSIGNCODE} sign ${KESTREL_SIGNING_OPTIONS} -h sha256
            -n ${KESTREL_PRODUCT_NAME} -in ${linked} -out ${linked}.signed
    COMMAND chmod --reference=${linked} ${linked}.signed
    COMMAND ${CMAKE_COMMAND} -E rename ${linked}.signed ${linked}
    VERBATIM)
endfunction()
