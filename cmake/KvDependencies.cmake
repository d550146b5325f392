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
if(EXISTS "${KV_DEPS_SRC}/duktape/src/duktape.c")
    add_library(kv_duktape STATIC ${KV_DEPS_SRC}/duktape/src/duktape.c)
    target_include_directories(kv_duktape SYSTEM PUBLIC ${KV_DEPS_SRC}/duktape/src)
    target_compile_options(kv_duktape PRIVATE -O2 -w)
endif()
