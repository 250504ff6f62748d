# Writes the simple case folding pairs (statuses C and S) of Unicode's CaseFolding.txt as a
# C++ initializer list: cmake -DINPUT=CaseFolding.txt -DOUTPUT=CaseFoldPairs.inc -P this file.
file(STRINGS "${INPUT}" lines REGEX "^[0-9A-F]+; [CS]; [0-9A-F]+;")
set(body "")
foreach(line IN LISTS lines)
  string(REGEX MATCH "^([0-9A-F]+); [CS]; ([0-9A-F]+);" _ "${line}")
  string(APPEND body "{0x${CMAKE_MATCH_1}, 0x${CMAKE_MATCH_2}},\n")
endforeach()
list(LENGTH lines count)
if(count LESS 1000)
  message(FATAL_ERROR "${INPUT} holds only ${count} simple case folding pairs")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}; do not edit.\n${body}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
