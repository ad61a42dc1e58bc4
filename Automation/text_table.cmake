# lumora_text_table(TARGET target JSON file NAMESPACE ns): the texts a
# deliverable shows, kept as data in one JSON file and compiled into string_view constants.
#
# The JSON file holds an object of groups, each an object of name -> text, e.g.
#     {"msg": {"LumoraTitle": "Lumora"}, "step": {"MakingCall": "making call"}}
# and becomes the header of the same name and folder (control_messages.json ->
# Control/frame/control_messages.hpp under the build's generated/ folder) with
#     namespace ns::msg { inline constexpr std::string_view LumoraTitle = "Lumora"; }
# Texts are the product's own wording: they are copied exactly, trailing blanks included.
function(lumora_text_table)
  cmake_parse_arguments(TABLE "" "TARGET;JSON;NAMESPACE" "" ${ARGN})
  get_filename_component(json_path ${TABLE_JSON} ABSOLUTE)
  file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${json_path})
  string(REGEX REPLACE "\\.json$" ".hpp" header_relative ${relative})
  set(header ${PROJECT_BINARY_DIR}/generated/${header_relative})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${json_path})

  file(READ ${json_path} json)
  set(out "#pragma once\n// Made from ${relative} by lumora_text_table (Automation/text_table.cmake): edit the JSON.\n\n")
  string(APPEND out "#include <string_view>\n")
  string(JSON group_count LENGTH "${json}")
  math(EXPR last_group "${group_count} - 1")
  foreach(g RANGE ${last_group})
    string(JSON group MEMBER "${json}" ${g})
    string(APPEND out "\nnamespace ${TABLE_NAMESPACE}::${group} {\n")
    string(JSON text_count LENGTH "${json}" ${group})
    math(EXPR last_text "${text_count} - 1")
    foreach(t RANGE ${last_text})
      string(JSON name MEMBER "${json}" ${group} ${t})
      string(JSON text GET "${json}" ${group} ${name})
      string(REPLACE "\\" "\\\\" text "${text}")
      string(REPLACE "\"" "\\\"" text "${text}")
      string(REPLACE "\r" "\\r" text "${text}")
      string(REPLACE "\n" "\\n" text "${text}")
      string(APPEND out "inline constexpr std::string_view ${name} = \"${text}\";\n")
    endforeach()
    string(APPEND out "}  // namespace ${TABLE_NAMESPACE}::${group}\n")
  endforeach()
  # Written through a copy so that an unchanged table does not rebuild its users.
  file(WRITE ${header}.new "${out}")
  configure_file(${header}.new ${header} COPYONLY)
  target_include_directories(${TABLE_TARGET} PUBLIC ${PROJECT_BINARY_DIR}/generated)
endfunction()
