# Turns the default layout text into the two forms the build needs:
#   default_layout_data.cpp  the UTF-8 bytes as a constant of the core library
#   default_layout.rc        string-table entries 160 and 161 (the base64 text, cut in two)
#                            and 162, 163 (blank slots) for Tapwise.exe
# Runs at configure time; editing the text re-runs the configuration.

function(tapwise_base64 hex out_var)
    set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
    string(LENGTH "${hex}" hex_length)
    math(EXPR byte_count "${hex_length} / 2")
    math(EXPR remainder "${byte_count} % 3")
    if(remainder EQUAL 1)
        string(APPEND hex "0000")
    elseif(remainder EQUAL 2)
        string(APPEND hex "00")
    endif()
    string(LENGTH "${hex}" padded_length)
    set(result "")
    set(position 0)
    while(position LESS padded_length)
        string(SUBSTRING "${hex}" ${position} 6 group)
        math(EXPR value "0x${group}")
        foreach(shift 18 12 6 0)
            math(EXPR index "(${value} >> ${shift}) & 63")
            string(SUBSTRING "${alphabet}" ${index} 1 character)
            string(APPEND result "${character}")
        endforeach()
        math(EXPR position "${position} + 6")
    endwhile()
    string(LENGTH "${result}" result_length)
    if(remainder EQUAL 1)
        math(EXPR keep "${result_length} - 2")
        string(SUBSTRING "${result}" 0 ${keep} result)
        string(APPEND result "==")
    elseif(remainder EQUAL 2)
        math(EXPR keep "${result_length} - 1")
        string(SUBSTRING "${result}" 0 ${keep} result)
        string(APPEND result "=")
    endif()
    set(${out_var} "${result}" PARENT_SCOPE)
endfunction()

# Writes path only when its content changes, so an unchanged text rebuilds nothing.
function(tapwise_write_if_changed path content)
    if(EXISTS "${path}")
        file(READ "${path}" old)
        if(old STREQUAL content)
            return()
        endif()
    endif()
    file(WRITE "${path}" "${content}")
endfunction()

function(tapwise_generate_default_layout source_file output_dir)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source_file}")
    file(READ "${source_file}" hex HEX)
    string(LENGTH "${hex}" hex_length)
    math(EXPR byte_count "${hex_length} / 2")

    # C++ constant: one byte per element, 16 to a line.
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
    string(CONCAT cpp "// Generated from src/resources/default.kbl; do not edit.\n"
            "#include <cstddef>\n\n"
            "extern const unsigned char kDefaultLayoutBytes[];\n"
            "extern const std::size_t kDefaultLayoutByteCount;\n\n"
            "const unsigned char kDefaultLayoutBytes[] = {\n    ${bytes}\n    0x00};\n"
            "const std::size_t kDefaultLayoutByteCount = ${byte_count};\n")
    tapwise_write_if_changed("${output_dir}/default_layout_data.cpp" "${cpp}")

    # String table: the base64 text cut in the middle; a resource string literal must stay
    # well below the resource compilers' limit of about 4 KB.
    tapwise_base64("${hex}" encoded)
    string(LENGTH "${encoded}" encoded_length)
    math(EXPR first_length "${encoded_length} / 2")
    string(SUBSTRING "${encoded}" 0 ${first_length} first)
    string(SUBSTRING "${encoded}" ${first_length} -1 second)
    string(CONCAT rc "// Generated from src/resources/default.kbl; do not edit.\n"
           "// The built-in default layout: base64 of its UTF-8 text in 160 and 161.\n"
           "STRINGTABLE\nBEGIN\n"
           "    160 \"${first}\"\n"
           "    161 \"${second}\"\n"
           "    162 \" \"\n"
           "    163 \" \"\n"
           "END\n")
    tapwise_write_if_changed("${output_dir}/default_layout.rc" "${rc}")
endfunction()
