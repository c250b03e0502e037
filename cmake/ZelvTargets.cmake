# Settings every first-party target gets.
function(zelv_defaults target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra
    # Narrow literals become code page 936 bytes: the core's texts are CP936 byte strings.
    # GB18030 gives the same bytes for every character code page 936 has, and unlike CP936
    # it can encode the "\u00b5s" literal inside libstdc++'s <chrono>, which otherwise fails.
    -finput-charset=UTF-8 -fexec-charset=GB18030>)
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
      _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
  if(ZELV_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()
