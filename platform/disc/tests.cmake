# Windows-side tests of the disc layer, run under Wine (included by
# tests/CMakeLists.txt, where tb_test is defined).
tb_test(disc_layer_win_test ${CMAKE_SOURCE_DIR}/tests/disc/win/disc_layer_win_test.cpp LIBS disc_internal)
add_dependencies(disc_layer_win_test disc_tool)
