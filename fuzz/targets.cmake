# The fuzz target functions as a library: the fuzzers wrap them and the
# regression test (tests/fuzz) calls them in the ordinary build.
if(NOT TARGET urbica_fuzztargets)
    set(URBICA_FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)
    add_library(urbica_fuzztargets STATIC
        ${URBICA_FUZZ_DIR}/targets.h
        ${URBICA_FUZZ_DIR}/support.h ${URBICA_FUZZ_DIR}/support.cpp
        ${URBICA_FUZZ_DIR}/settings_target.cpp
        ${URBICA_FUZZ_DIR}/catalogue_target.cpp
        ${URBICA_FUZZ_DIR}/tables_target.cpp
        ${URBICA_FUZZ_DIR}/names_target.cpp
        ${URBICA_FUZZ_DIR}/layer_target.cpp
        ${URBICA_FUZZ_DIR}/bookmarks_target.cpp
        ${URBICA_FUZZ_DIR}/icons_target.cpp
        ${URBICA_FUZZ_DIR}/housenumber_target.cpp
        ${URBICA_FUZZ_DIR}/addressline_target.cpp
        ${URBICA_FUZZ_DIR}/osmxml_target.cpp
        ${URBICA_FUZZ_DIR}/kinds_target.cpp
    )
    target_include_directories(urbica_fuzztargets PUBLIC ${URBICA_FUZZ_DIR})
    # The OpenStreetMap target runs the importer's reading stage alone.
    target_include_directories(urbica_fuzztargets PRIVATE ${PROJECT_SOURCE_DIR}/src/import)
    target_link_libraries(urbica_fuzztargets PUBLIC
        urbica_draw urbica_bookmarks urbica_osmimport urbica_searchcore Qt6::Gui)
endif()
