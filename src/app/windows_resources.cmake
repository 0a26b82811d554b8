# lumora.exe as Windows wants a windowed program: no console of its own, the icon Explorer
# and the Start menu show, and the version its file properties give.
set_target_properties(lumora PROPERTIES WIN32_EXECUTABLE ON)

# Every size of data/icons in one .ico; the largest kept as PNG, as Windows reads it.
find_program(LUMORA_ICOTOOL icotool REQUIRED)
set(LUMORA_ICO ${PROJECT_BINARY_DIR}/lumora.ico)
set(small_icons ${LUMORA_ICON_SIZES})
list(POP_BACK small_icons largest_icon)
list(TRANSFORM small_icons REPLACE "(.+)" "${PROJECT_SOURCE_DIR}/data/icons/lumora-\\1.png")
set(largest_icon ${PROJECT_SOURCE_DIR}/data/icons/lumora-${largest_icon}.png)
add_custom_command(OUTPUT ${LUMORA_ICO}
  COMMAND ${LUMORA_ICOTOOL} -c -o ${LUMORA_ICO} ${small_icons} --raw=${largest_icon}
  DEPENDS ${small_icons} ${largest_icon} VERBATIM)

set(lumora_rc ${CMAKE_CURRENT_BINARY_DIR}/lumora.rc)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumora.rc.in ${lumora_rc} @ONLY)
target_sources(lumora PRIVATE ${lumora_rc})
set_source_files_properties(${lumora_rc} PROPERTIES OBJECT_DEPENDS ${LUMORA_ICO})
