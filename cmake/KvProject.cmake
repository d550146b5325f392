# Settings every target of the project shares, and the stricter ones that
# only the project's own code gets (third-party code builds without them).

add_compile_definitions(UNICODE _UNICODE NOMINMAX WINVER=0x0601 _WIN32_WINNT=0x0601)
# Each program runs alone: no MinGW runtime DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)
# Sections start on page boundaries in the file too, so Wine maps them from
# the file instead of reading the whole image, debug sections included, into
# private memory of every process.
add_link_options(-Wl,--file-alignment,0x1000)

function(kv_project_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror
        $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
endfunction()

# Code includes headers by their path in the source tree ("ui/core/X.h"), but
# no target sees the whole tree: each layer offers only its own folder, and a
# target reaches the headers of the layers it links and no others.
#
#   kv_layer_headers(<target> <folder>)
# Makes "<folder>/..." includable by the target and by whatever links it: its
# include root holds one link, to that folder.
function(kv_layer_headers target folder)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
endfunction()

#   kv_add_layer(<target> <folder>)
# A layer: the static library of the .cpp files of <folder> (not of its
# sub-folders), its headers offered as "<folder>/...". The caller links it
# (PUBLIC) to the layers it uses.
function(kv_add_layer target folder)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    add_library(${target} STATIC ${sources})
    kv_project_target(${target})
    kv_layer_headers(${target} ${folder})
endfunction()
