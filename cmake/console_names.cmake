# Turns game-console-names.tsv into a C++ table of the names the original game knows, lower case
# (the console compares names ignoring case), sorted, without the reconstructions' own additions.
# Run as: cmake -DINPUT=<tsv> -DOUTPUT=<cpp> -P console_names.cmake
file(STRINGS "${INPUT}" rows ENCODING UTF-8)
list(POP_FRONT rows) # the header
set(names "")
# The names the player's own game runs itself: its variables, and the commands of the engine and of
# the client library. A command only the game server knows goes to the server, and an alias of
# that name runs instead.
set(local_names "")
set(variable_names "")
foreach(row IN LISTS rows)
    string(REPLACE "\t" ";" columns "${row}")
    list(LENGTH columns count)
    if(count LESS 5)
        message(FATAL_ERROR "game-console-names.tsv: a row without five columns: ${row}")
    endif()
    list(GET columns 0 name)
    list(GET columns 1 kind)
    list(GET columns 2 side)
    list(GET columns 4 port_only)
    if(port_only STREQUAL "no")
        if(NOT name MATCHES "^[A-Za-z0-9_+.-]+$")
            message(FATAL_ERROR "game-console-names.tsv: unexpected characters in the name ${name}")
        endif()
        string(TOLOWER "${name}" name)
        list(APPEND names "${name}")
        if(kind STREQUAL "cvar" OR NOT side STREQUAL "game")
            list(APPEND local_names "${name}")
        endif()
        if(kind STREQUAL "cvar")
            list(APPEND variable_names "${name}")
        endif()
    endif()
endforeach()
# One C++ table from a list of names: sorted, each once; sets <prefix>_total and <prefix>_body.
function(name_table prefix)
    set(names ${ARGN})
    list(REMOVE_DUPLICATES names)
    list(SORT names)
    list(LENGTH names total)
    set(body "")
    foreach(name IN LISTS names)
        string(APPEND body "    \"${name}\",\n")
    endforeach()
    set(${prefix}_total ${total} PARENT_SCOPE)
    set(${prefix}_body "${body}" PARENT_SCOPE)
endfunction()
name_table(all ${names})
name_table(local ${local_names})
name_table(variable ${variable_names})
file(WRITE "${OUTPUT}.tmp"
"// Generated from src/game/data/game-console-names.tsv by cmake/console_names.cmake; do not edit.
#include \"game/console_names.h\"

#include <array>

namespace setforge::game {
namespace {
constexpr std::array<std::string_view, ${all_total}> Names{{
${all_body}}};
constexpr std::array<std::string_view, ${local_total}> LocalNames{{
${local_body}}};
constexpr std::array<std::string_view, ${variable_total}> VariableNames{{
${variable_body}}};
} // namespace

std::span<const std::string_view> gameConsoleNames() {
    return Names;
}

std::span<const std::string_view> localConsoleNames() {
    return LocalNames;
}

std::span<const std::string_view> gameVariableNames() {
    return VariableNames;
}

} // namespace setforge::game
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
