# Third-party libraries, built for the target by scripts/bootstrap into
# KV_DEPS_PREFIX (static libraries and headers); zlib comes from Debian's
# MinGW package. Nothing here reads the host's /usr/include.

set(KV_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "Folder scripts/bootstrap fills")
set(KV_DEPS_PREFIX "${KV_DEPS_DIR}/${KV_TARGET_ARCH}/prefix")
set(KV_DEPS_SRC "${KV_DEPS_DIR}/src")

if(NOT EXISTS "${KV_DEPS_PREFIX}/lib/libminizip.a")
    message(FATAL_ERROR "Third-party libraries missing in ${KV_DEPS_PREFIX}: run scripts/bootstrap")
endif()

find_library(KV_ZLIB_LIBRARY NAMES libz.a REQUIRED)
find_path(KV_ZLIB_INCLUDE zlib.h REQUIRED)
add_library(kv_zlib INTERFACE)
target_link_libraries(kv_zlib INTERFACE ${KV_ZLIB_LIBRARY})
target_include_directories(kv_zlib SYSTEM INTERFACE ${KV_ZLIB_INCLUDE})

add_library(kv_minizip INTERFACE)
target_link_libraries(kv_minizip INTERFACE ${KV_DEPS_PREFIX}/lib/libminizip.a kv_zlib)
target_include_directories(kv_minizip SYSTEM INTERFACE ${KV_DEPS_PREFIX}/include/minizip)

add_library(kv_curl INTERFACE)
target_link_libraries(kv_curl INTERFACE ${KV_DEPS_PREFIX}/lib/libcurl.a
    ws2_32 crypt32 bcrypt secur32 iphlpapi advapi32 normaliz)
target_include_directories(kv_curl SYSTEM INTERFACE ${KV_DEPS_PREFIX}/include)
target_compile_definitions(kv_curl INTERFACE CURL_STATICLIB)

add_library(kv_mpg123 INTERFACE)
target_link_libraries(kv_mpg123 INTERFACE ${KV_DEPS_PREFIX}/lib/libmpg123.a shlwapi)
target_include_directories(kv_mpg123 SYSTEM INTERFACE ${KV_DEPS_PREFIX}/include)

add_library(kv_stb INTERFACE)
target_include_directories(kv_stb SYSTEM INTERFACE ${KV_DEPS_PREFIX}/include/stb)

add_library(kv_rapidjson INTERFACE)
target_include_directories(kv_rapidjson SYSTEM INTERFACE ${KV_DEPS_PREFIX}/include)
target_compile_definitions(kv_rapidjson INTERFACE RAPIDJSON_HAS_STDSTRING=1)

# Duktape ships as one C file; it is third-party code and keeps its own warnings.
# The engine must be able to stop a script that never ends, which needs
# Duktape's execution time-out check; the shipped configuration leaves it out,
# so a copy of the sources with it switched on is built. The check calls
# kv_duk_exec_timeout(heap user data), which the engine defines.
# The shipped nesting limit of regular expressions (10000) lets a page's
# pattern recurse deeper than a 2 MB thread stack holds; the copy takes the
# limit the script compiler has (2500), which any real pattern stays far below.
if(EXISTS "${KV_DEPS_SRC}/duktape/src/duktape.c")
    set(kv_duktape_dir ${CMAKE_BINARY_DIR}/duktape)
    file(READ ${KV_DEPS_SRC}/duktape/src/duk_config.h kv_duk_config)
    foreach(kv_switch "#undef DUK_USE_EXEC_TIMEOUT_CHECK" "#undef DUK_USE_INTERRUPT_COUNTER"
            "#define DUK_USE_REGEXP_COMPILER_RECLIMIT 10000")
        string(FIND "${kv_duk_config}" "${kv_switch}" kv_found)
        if(kv_found EQUAL -1)
            message(FATAL_ERROR "duk_config.h has no line '${kv_switch}': cannot configure the script engine")
        endif()
    endforeach()
    string(REPLACE "#undef DUK_USE_EXEC_TIMEOUT_CHECK"
        "#if defined(__cplusplus)\nextern \"C\"\n#endif\nint kv_duk_exec_timeout(void *udata);\n#define DUK_USE_EXEC_TIMEOUT_CHECK(udata) kv_duk_exec_timeout(udata)"
        kv_duk_config "${kv_duk_config}")
    string(REPLACE "#undef DUK_USE_INTERRUPT_COUNTER" "#define DUK_USE_INTERRUPT_COUNTER" kv_duk_config "${kv_duk_config}")
    string(REPLACE "#define DUK_USE_REGEXP_COMPILER_RECLIMIT 10000" "#define DUK_USE_REGEXP_COMPILER_RECLIMIT 2500"
        kv_duk_config "${kv_duk_config}")
    # Written through a copy that changes only with its content, so a new configure rebuilds nothing.
    file(WRITE ${kv_duktape_dir}/duk_config.h.in "${kv_duk_config}")
    configure_file(${kv_duktape_dir}/duk_config.h.in ${kv_duktape_dir}/duk_config.h COPYONLY)
    # duktape.h includes its configuration from its own folder: both are copied.
    configure_file(${KV_DEPS_SRC}/duktape/src/duktape.h ${kv_duktape_dir}/duktape.h COPYONLY)
    configure_file(${KV_DEPS_SRC}/duktape/src/duktape.c ${kv_duktape_dir}/duktape.c COPYONLY)
    add_library(kv_duktape STATIC ${kv_duktape_dir}/duktape.c)
    target_include_directories(kv_duktape SYSTEM PUBLIC ${kv_duktape_dir})
    target_compile_options(kv_duktape PRIVATE -O2 -w)
endif()
