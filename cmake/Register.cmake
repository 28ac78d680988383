# Registering a component into the build tree's Wine prefix is part of the
# build: tb_register(<target>) runs regsvr32 on it after every relink.
set(TB_SCRIPTS ${CMAKE_SOURCE_DIR}/scripts)

# Only programs of the machine's own kind can run here (a 32-bit build is
# compiled, not run).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TB_RUNNABLE ON)
else()
  set(TB_RUNNABLE OFF)
endif()

function(tb_register target)
  if(NOT TB_RUNNABLE)
    return()
  endif()
  add_dependencies(${target} wine_keepalive)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${TB_SCRIPTS}/wine-register.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:${target}>
    COMMENT "registering ${target} into the Wine prefix" VERBATIM)
endfunction()
