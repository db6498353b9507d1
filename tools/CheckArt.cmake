# Runs the generator into a scratch folder and compares what it wrote with
# the committed resources through tt_artcompare: lengths and headers exact,
# pixels and samples within a level or two (see artcompare/ArtCompare.h).
# Where a font file differs from the one the committed art was drawn with
# (fonts.sha256: another release of the font packages), its glyphs
# rasterise differently, so the tile sheets are only checked for the same
# length and the same header.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${ARTGEN} ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "tt_artgen failed (${status})")
endif()

set(same_fonts TRUE)
file(STRINGS ${FONTS} font_lines)
foreach(line ${font_lines})
  string(REGEX MATCH "^([0-9a-f]+)  (.+)$" _ "${line}")
  set(expected ${CMAKE_MATCH_1})
  set(path ${CMAKE_MATCH_2})
  if(NOT EXISTS ${path})
    set(same_fonts FALSE)
  else()
    file(SHA256 ${path} actual)
    if(NOT actual STREQUAL expected)
      message(STATUS "font differs from the one the art was drawn with: ${path}")
      set(same_fonts FALSE)
    endif()
  endif()
endforeach()

file(GLOB_RECURSE committed RELATIVE ${RESOURCES} ${RESOURCES}/sheets/* ${RESOURCES}/buttons/*
     ${RESOURCES}/pictures/* ${RESOURCES}/sounds/*)
file(GLOB_RECURSE generated RELATIVE ${WORK} ${WORK}/*)
list(SORT committed)
list(SORT generated)
if(NOT committed STREQUAL generated)
  message(FATAL_ERROR "generated files differ from committed ones:\n  committed: ${committed}\n  generated: ${generated}")
endif()

set(failures "")
foreach(name ${committed})
  set(mode "")
  if(NOT same_fonts AND name MATCHES "^sheets/")
    set(mode --layout-only)
  endif()
  execute_process(COMMAND ${ARTCOMPARE} ${mode} ${RESOURCES}/${name} ${WORK}/${name}
                  RESULT_VARIABLE differs OUTPUT_VARIABLE why ERROR_VARIABLE trouble)
  if(NOT differs EQUAL 0)
    string(STRIP "${why}${trouble}" why)
    list(APPEND failures "${name}: ${why}")
  endif()
endforeach()
if(failures)
  list(JOIN failures "\n  " lines)
  message(FATAL_ERROR "generated art differs from the committed files:\n  ${lines}\n"
                      "Regenerate with: cmake --build build --target art")
endif()
if(same_fonts)
  message(STATUS "every file agrees with the committed one")
else()
  message(STATUS "fonts differ: tile sheets checked for length and header only")
endif()
