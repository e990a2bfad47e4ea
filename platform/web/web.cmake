# The page: the whole program built by Emscripten for a web browser, over
# the web system layer and the OpenGL ES 3.0 renderer (WebGL 2). Included by
# the top-level CMakeLists.txt under emcmake; tools/package-web.sh drives it.
#
# Output in the build folder: tenebrel.js and tenebrel.wasm, and index.html
# beside them. The textures are made by tools/package-web.sh with the maker
# built for the host, as a cross build cannot run what it builds.

file(GLOB WEB_SOURCES CONFIGURE_DEPENDS
    app/*.cpp scene/*.cpp geometry/*.cpp shadow/*.cpp assets/*.cpp draw/*.cpp
    # A browser has no desktop OpenGL: only the ES 3.0 renderer is built.
    draw/es3/*.cpp
    platform/web/*.cpp)
# Files and the environment are POSIX's, which Emscripten's runtime gives.
list(APPEND WEB_SOURCES platform/posix/file.cpp platform/posix/environment.cpp)
# A box's words go to stderr, as on the desktops.
list(APPEND WEB_SOURCES platform/box.cpp)
# The page's events are translated into a message queue of the layer's own,
# for a window class and one window it keeps itself, as on Linux.
list(APPEND WEB_SOURCES platform/queue.cpp platform/windowing.cpp)

add_executable(tenebrel ${WEB_SOURCES})
target_include_directories(tenebrel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(tenebrel PRIVATE TENEBREL_DRAW_ES3 TENEBREL_VERSION="${PROJECT_VERSION}")
set_target_properties(tenebrel PROPERTIES SUFFIX .js)
target_link_options(tenebrel PRIVATE
    # The program's own loop, as on the desktop: each frame's end, a
    # message box, the fullscreen request and an idle wait give the browser
    # the processor and go on where they were. All of them are reached by
    # direct calls from the shell, the scene and the loader (never through
    # the window procedure or the renderer's table), so only direct calls
    # are prepared for it: a fifth less code.
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=16384 -sASYNCIFY_IGNORE_INDIRECT=1
    -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
    -sALLOW_MEMORY_GROWTH=1
    # The exit status reaches the page.
    -sEXIT_RUNTIME=1
    -sENVIRONMENT=web
    # The page puts the textures into the file system before the program starts.
    -sEXPORTED_RUNTIME_METHODS=FS,addRunDependency,removeRunDependency)
# The page itself, beside the program; a change to it is copied at the next build.
configure_file(platform/web/index.html ${CMAKE_CURRENT_BINARY_DIR}/index.html COPYONLY)
