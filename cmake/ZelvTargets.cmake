# Settings every first-party target gets.
function(zelv_defaults target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra
    # Narrow literals become code page 936 bytes: the core's texts are CP936 byte strings.
    -finput-charset=UTF-8 -fexec-charset=CP936>)
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
