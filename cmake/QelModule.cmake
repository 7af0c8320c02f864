# qel_module(<target> [PUBLIC deps...] [PRIVATE deps...])
# One static library per source folder, made of every .cpp/.h in that folder.
# Headers are included from src/ as "folder/file.h". A dependency is PUBLIC
# only where one of the module's headers includes it; its users then compile
# against it too. PRIVATE ones are still linked into the programs, but add no
# include folders or definitions to their users.
function(qel_module target)
    cmake_parse_arguments(PARSE_ARGV 1 deps "" "" "PUBLIC;PRIVATE")
    if(deps_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "qel_module(${target}): ${deps_UNPARSED_ARGUMENTS} "
                            "is neither PUBLIC nor PRIVATE")
    endif()
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(sources)
        file(GLOB sources CONFIGURE_DEPENDS
            ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
            ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${target} PRIVATE qel_warnings)
        target_link_libraries(${target} PUBLIC ${deps_PUBLIC} PRIVATE ${deps_PRIVATE})
    else()
        # A folder whose first source has not been written yet.
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${target} INTERFACE ${deps_PUBLIC} ${deps_PRIVATE})
    endif()
    set_property(TARGET ${target} PROPERTY QEL_FOLDER ${CMAKE_CURRENT_SOURCE_DIR})
    set_property(GLOBAL APPEND PROPERTY QEL_MODULES ${target})
endfunction()

# qel_tests(<libs...>)
# Every tst_*.cpp in the calling folder becomes one QtTest executable and one
# CTest test, run on the offscreen platform.
function(qel_tests)
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(source ${tests})
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE qel_warnings Qt6::Test ${ARGN})
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FATAL_WARNINGS=0" TIMEOUT 300)
    endforeach()
endfunction()

# The modules a module links, publicly or privately, directly or through
# others.
function(_qel_linked target result)
    set(seen ${${result}})
    get_property(modules GLOBAL PROPERTY QEL_MODULES)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
    else()
        get_target_property(links ${target} LINK_LIBRARIES)
    endif()
    foreach(link ${links})
        if(link IN_LIST modules AND NOT link IN_LIST seen)
            list(APPEND seen ${link})
            _qel_linked(${link} seen)
        endif()
    endforeach()
    set(${result} ${seen} PARENT_SCOPE)
endfunction()

# qel_check_layers()
# Every #include "folder/..." in a module's folder must name the module's own
# folder or one whose library the module links: a layer uses only what lies
# below it, and configuring fails on an include that reaches upwards.
function(qel_check_layers)
    get_property(modules GLOBAL PROPERTY QEL_MODULES)
    foreach(module ${modules})
        get_target_property(folder ${module} QEL_FOLDER)
        set(linked "")
        _qel_linked(${module} linked)
        file(GLOB files ${folder}/*.cpp ${folder}/*.h)
        foreach(file ${files})
            file(STRINGS ${file} includes REGEX "^#include \"[a-z]+/")
            foreach(include ${includes})
                string(REGEX REPLACE "^#include \"([a-z]+)/.*" "qel_\\1" used "${include}")
                if(NOT used STREQUAL module AND NOT used IN_LIST linked)
                    message(FATAL_ERROR "${file}: ${include} reaches a layer that "
                                        "${module} does not link")
                endif()
            endforeach()
        endforeach()
    endforeach()
endfunction()
