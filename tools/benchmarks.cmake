# Benchmarks: they print speed figures and never fail on a slow machine, so
# they are not tests and CTest does not run them. They are built with
# everything else so that they keep compiling as the code changes. Both land
# in the build folder, beside the texture files bench_frame reads.

# The complete frame on a real window, opened like the drawing tests open
# theirs.
add_executable(bench_frame tools/bench_frame.cpp tools/bench_phases.cpp tests/gl_harness.cpp)
target_include_directories(bench_frame PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(bench_frame PRIVATE
    -Wl,--start-group tenebrel_scene tenebrel_app tenebrel_draw tenebrel_platform -Wl,--end-group
    OpenGL::GL OpenGL::GLU)
add_dependencies(bench_frame textures)

# The BMP loader against SDL's. Only this benchmark links the SDL reader.
add_executable(bench_bmp tools/bench_bmp.cpp platform/sdl/bench_reference.cpp)
target_include_directories(bench_bmp PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(bench_bmp PRIVATE
    -Wl,--start-group tenebrel_scene tenebrel_app tenebrel_draw tenebrel_platform -Wl,--end-group
    PkgConfig::SDL2 tenebrel_bmp_write)
