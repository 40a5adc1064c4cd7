# Writes a manual page from a program's own help texts, so that the page says what --help says.
#   cmake -DNAME=pquil -DSUMMARY="..." -DVERSION=3.1.0 -DOUTPUT=pquil.1 -DPROGRAM=/path/pquil -P man-page.cmake
# takes 'PROGRAM --help' as the description and, for every command listed under "Commands:" in it,
# 'PROGRAM COMMAND --help' as a section of its own. With -DTEXT_FILE=file instead of PROGRAM, the file is the help
# text (for a program whose command line has no options to print it).
cmake_minimum_required(VERSION 3.25)

# The text as roff shows it verbatim: backslashes and minus signs escaped, a line starting with a dot or an
# apostrophe (a request to roff) guarded.
function(roff_verbatim text result)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${result} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

function(help_of result)
    execute_process(COMMAND ${PROGRAM} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR text STREQUAL "")
        message(FATAL_ERROR "'${PROGRAM} ${ARGN} --help' failed (${status})")
    endif()
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

foreach(required IN ITEMS NAME SUMMARY VERSION OUTPUT)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "man-page.cmake: ${required} is not set")
    endif()
endforeach()

if(DEFINED PROGRAM)
    help_of(usage)
    # The commands are the first words of the lines indented under "Commands:", up to the next blank line.
    string(REGEX MATCH "\nCommands:\n([^\n]+\n)+" listing "${usage}")
    string(REGEX MATCHALL "\n  [a-z]+" command_words "${listing}")
    set(commands "")
    foreach(word IN LISTS command_words)
        string(STRIP "${word}" word)
        list(APPEND commands "${word}")
    endforeach()
    list(REMOVE_DUPLICATES commands)
else()
    file(READ "${TEXT_FILE}" usage)
    set(commands "")
endif()

string(TOUPPER "${NAME}" title)
roff_verbatim("${usage}" description)
set(page ".TH ${title} 1 \"\" \"Pacequill ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\n${NAME} \\- ${SUMMARY}\n.SH DESCRIPTION\n${description}")
if(commands)
    string(APPEND page ".SH COMMANDS\n")
    foreach(command IN LISTS commands)
        help_of(text ${command})
        roff_verbatim("${text}" section)
        string(APPEND page ".SS ${command}\n${section}")
    endforeach()
endif()
if(DEFINED SEE_ALSO)
    string(APPEND page ".SH SEE ALSO\n${SEE_ALSO}\n")
endif()
file(WRITE "${OUTPUT}" "${page}")
