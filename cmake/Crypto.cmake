# The strong container's cryptography (libgcrypt) and the password's
# normalisation, from Debian's packages on both sides. nb_crypto is what the
# engine links; on Windows the two DLLs sit beside the programs and in one
# folder that the test programs find through WINEPATH.
add_library(nb_crypto INTERFACE)
if(WIN32)
  set(NB_MINGW_ROOT /usr/x86_64-w64-mingw32)
  target_link_libraries(nb_crypto INTERFACE -l:libgcrypt.dll.a -l:libgpg-error.dll.a normaliz)
  set(NB_CRYPTO_DLLS ${NB_MINGW_ROOT}/bin/libgcrypt-20.dll ${NB_MINGW_ROOT}/bin/libgpg-error-0.dll)
  set(NB_CRYPTO_DLL_DIR ${CMAKE_BINARY_DIR}/crypto-dlls)
  file(MAKE_DIRECTORY ${NB_CRYPTO_DLL_DIR})
  foreach(dll ${NB_CRYPTO_DLLS})
    file(COPY ${dll} DESTINATION ${NB_CRYPTO_DLL_DIR})
  endforeach()
  # Puts the DLLs beside a program of this build, so that it starts on its
  # own (make run, the packages' probe).
  function(nb_copy_crypto_dlls target)
    foreach(dll ${NB_CRYPTO_DLLS})
      add_custom_command(TARGET ${target} POST_BUILD
                         COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dll}
                                 $<TARGET_FILE_DIR:${target}>)
    endforeach()
  endfunction()
else()
  find_library(NB_GCRYPT_LIBRARY gcrypt REQUIRED)
  find_library(NB_GPG_ERROR_LIBRARY gpg-error REQUIRED)
  find_library(NB_UNISTRING_LIBRARY unistring REQUIRED)
  target_link_libraries(nb_crypto INTERFACE ${NB_GCRYPT_LIBRARY} ${NB_GPG_ERROR_LIBRARY}
                                            ${NB_UNISTRING_LIBRARY})
  function(nb_copy_crypto_dlls target)
  endfunction()
endif()
