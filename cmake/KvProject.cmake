# Settings every target of the project shares, and the stricter ones that
# only the project's own code gets (third-party code builds without them).

add_compile_definitions(UNICODE _UNICODE NOMINMAX WINVER=0x0601 _WIN32_WINNT=0x0601)
# Each program runs alone: no MinGW runtime DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

function(kv_project_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror
        $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()
