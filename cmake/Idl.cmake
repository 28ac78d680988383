# Compiles an IDL file of interfaces/ with widl into a header, the identifier
# file, the proxy code and, when it holds a library, a type library.
# Outputs land in ${CMAKE_BINARY_DIR}/interfaces.
find_program(WIDL NAMES ${TOOLCHAIN_PREFIX}-widl widl REQUIRED)
set(WINE_IDL_DIR /usr/include/wine/wine/windows)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(WIDL_TARGET -m64 --win64)
  set(WINE_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
else()
  set(WIDL_TARGET -m32 --win32)
  set(WINE_TLB_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
endif()
set(IDL_OUT ${CMAKE_BINARY_DIR}/interfaces)
file(MAKE_DIRECTORY ${IDL_OUT})

# tb_idl(<name> [TYPELIB] [DEPENDS other.idl...]): interfaces/<name>.idl.
function(tb_idl name)
  cmake_parse_arguments(A "TYPELIB" "" "DEPENDS" ${ARGN})
  set(src ${CMAKE_SOURCE_DIR}/interfaces/${name}.idl)
  set(outs ${IDL_OUT}/${name}.h ${IDL_OUT}/${name}_i.c ${IDL_OUT}/${name}_p.c)
  set(args -h -H ${name}.h -u -U ${name}_i.c -p -P ${name}_p.c)
  if(A_TYPELIB)
    list(APPEND outs ${IDL_OUT}/${name}.tlb)
    list(APPEND args -t -T ${name}.tlb)
  endif()
  set(deps)
  foreach(d ${A_DEPENDS})
    list(APPEND deps ${CMAKE_SOURCE_DIR}/interfaces/${d}.idl)
  endforeach()
  add_custom_command(OUTPUT ${outs}
    COMMAND ${WIDL} ${WIDL_TARGET} -Oif -I${CMAKE_SOURCE_DIR}/interfaces -I${WINE_IDL_DIR}
            -L${WINE_TLB_DIR} ${args} ${src}
    WORKING_DIRECTORY ${IDL_OUT}
    DEPENDS ${src} ${deps}
    COMMENT "widl ${name}.idl" VERBATIM)
  add_custom_target(idl_${name} DEPENDS ${outs})
endfunction()
