# Included by the test build: each fuzz target's entry function, built with the normal compiler,
# replays the target's findings in fuzz/regression/<target>/ and a corpus of valid files made
# by the program's own writers, on every test run.
set(fuzz_dir ${PROJECT_SOURCE_DIR}/fuzz)
add_executable(zantric_fuzz_seeds ${fuzz_dir}/seed_corpus.cpp)
target_include_directories(zantric_fuzz_seeds PRIVATE ${fuzz_dir} ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(zantric_fuzz_seeds PRIVATE zantric_core zantric_warnings)
add_test(NAME fuzz.seeds COMMAND zantric_fuzz_seeds ${CMAKE_CURRENT_BINARY_DIR}/fuzz_seeds)
set_tests_properties(fuzz.seeds PROPERTIES FIXTURES_SETUP fuzz_seeds)

foreach(target dictionary_reader results_pair profile word_list search_request)
    add_executable(fuzz_${target}_replay ${fuzz_dir}/${target}.cpp ${fuzz_dir}/replay_main.cpp)
    target_include_directories(fuzz_${target}_replay PRIVATE ${fuzz_dir} ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(fuzz_${target}_replay PRIVATE zantric_core zantric_warnings)
    add_test(NAME fuzz.${target} COMMAND fuzz_${target}_replay ${fuzz_dir}/regression/${target}
                                         ${CMAKE_CURRENT_BINARY_DIR}/fuzz_seeds/${target})
    set_tests_properties(fuzz.${target} PROPERTIES FIXTURES_REQUIRED fuzz_seeds)
endforeach()
