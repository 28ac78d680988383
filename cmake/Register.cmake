# Registering a component into the build tree's Wine prefix is part of the
# build: tb_register(<target>) runs regsvr32 on it after every relink.
set(TB_SCRIPTS ${CMAKE_SOURCE_DIR}/scripts)

# A build whose programs this machine cannot run (TB_RUNNABLE OFF) is
# compiled only.
option(TB_RUNNABLE "Register components and run tests under Wine" ON)

function(tb_register target)
  if(NOT TB_RUNNABLE)
    return()
  endif()
  add_dependencies(${target} wine_keepalive)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${TB_SCRIPTS}/wine-register.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:${target}>
    COMMENT "registering ${target} into the Wine prefix" VERBATIM)
endfunction()
