# Qt's and GoogleTest's headers, compiled once a build instead of once a file: parsing Qt's
# headers takes about as long as compiling a window-side file's own code.  One target of each
# kind compiles the headers and the others reuse them, which GCC allows when their flags are the
# same and the macros they define beyond the first's appear nowhere in those headers.  A file
# must still include what it uses: CMAKE_DISABLE_PRECOMPILE_HEADERS=ON builds without these.
# Included from the top-level CMakeLists.txt after every target exists.

# Reuses the first target's precompiled headers in the others, where they are built.
function(bukvotok_reuse_precompiled_headers owner)
    foreach(target ${ARGN})
        if(TARGET ${target})
            target_precompile_headers(${target} REUSE_FROM ${owner})
        endif()
    endforeach()
endfunction()

set(BUKVOTOK_STANDARD_HEADERS
    <algorithm> <chrono> <cstdint> <functional> <memory> <string> <string_view> <vector>)

if(TARGET bukvotok_shell)
    # The window's libraries and program.
    target_precompile_headers(bukvotok_shell PRIVATE
        <QAccessible> <QApplication> <QCheckBox> <QKeyEvent> <QLabel> <QMenu> <QMouseEvent>
        <QPainter> <QPushButton> <QString> <QTimer> <QWidget> ${BUKVOTOK_STANDARD_HEADERS})
    bukvotok_reuse_precompiled_headers(bukvotok_shell
        bukvotok_grlink bukvotok_results_box bukvotok_window bukvotok)
endif()

if(TARGET tst_Grlink)
    # The widget tests, which share the one folder QtTest's macros name.
    target_precompile_headers(tst_Grlink PRIVATE
        <QTest> <QSignalSpy> <QAccessible> <QApplication> <QCheckBox> <QLabel> <QMenu>
        <QPushButton> <QWidget> ${BUKVOTOK_STANDARD_HEADERS})
    set(widget_tests tst_Grlink tst_Unit1 tst_ResultsBox tst_Accessibility tst_WrappedText)
    bukvotok_reuse_precompiled_headers(${widget_tests})
    # Each test includes its own moc output, which leaves moc's file empty: loading the headers
    # would cost it more than it compiles.
    foreach(test ${widget_tests})
        if(TARGET ${test})
            get_target_property(folder ${test} BINARY_DIR)
            set_source_files_properties(${folder}/${test}_autogen/mocs_compilation.cpp
                TARGET_DIRECTORY ${test} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        endif()
    endforeach()
endif()

if(TARGET results_model_tests)
    target_precompile_headers(results_model_tests PRIVATE
        <gtest/gtest.h> <filesystem> <fstream> <sstream> ${BUKVOTOK_STANDARD_HEADERS})
    bukvotok_reuse_precompiled_headers(results_model_tests search_tests headless_tests)
endif()
