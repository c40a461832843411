# The HL7 frame handling of the query channels (text helpers, TCP request text, serial receive
# buffer, answer decision). Included from fuzz/CMakeLists.txt; needs clang++ like the others.
add_executable(fuzz_hl7_frames ${CMAKE_CURRENT_LIST_DIR}/fuzz_hl7_frames.cpp)
target_compile_options(fuzz_hl7_frames PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_hl7_frames PRIVATE -fsanitize=fuzzer)
target_link_libraries(fuzz_hl7_frames PRIVATE quillory_channels)
