# Installs the command line's component of the build in BUILD_DIR into a
# scratch prefix and checks that the program, its manual page and its bash
# completion script land where man and bash-completion look for them.
set(prefix ${BUILD_DIR}/install-check)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component cli
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/vellisto-cli share/man/man1/vellisto-cli.1
        share/bash-completion/completions/vellisto-cli)
    if(NOT EXISTS ${prefix}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
file(READ ${prefix}/share/bash-completion/completions/vellisto-cli script)
if(NOT script MATCHES "complete -F _vellisto_cli vellisto-cli")
    message(FATAL_ERROR "the completion script does not register vellisto-cli")
endif()
file(REMOVE_RECURSE ${prefix})
