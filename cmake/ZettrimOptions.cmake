# Compiler settings shared by every target.
if(WIN32)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
                          _WIN32_WINNT=0x0601 WINVER=0x0601)
  # No runtime DLLs: everything the program needs is linked in.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Same commit, same bytes: no link time in the PE header and no build
  # folder in the code (__FILE__ in assertions and library headers).
  add_link_options(-Wl,--no-insert-timestamp)
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                      -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
  # Unused functions and data are dropped at link time.
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections)
endif()

if(ZT_SANITIZE)
  add_compile_options(-fsanitize=${ZT_SANITIZE} -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=${ZT_SANITIZE})
  if(ZT_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

function(zt_target_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                         -Wcast-align -Wunused -Woverloaded-virtual)
  if(ZT_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(WIN32)
  # Resource scripts are UTF-8.
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
endif()
