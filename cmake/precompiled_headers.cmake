# Precompiled headers. Nearly every source file includes the same Qt and standard headers, and
# parsing them is most of its compile time: they are compiled once for the program's sources and
# once for the tests, and every other target reuses them. A target whose flags would make the
# shared header unusable is an error here (-Winvalid-pch with -Werror), not a silent slow build.
option(ENVMETER_PCH "Precompile the common Qt and standard headers" ON)

set(ENVMETER_PCH_CORE
    <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QList> <QObject> <QString>
    <QStringList> <QTimer>
    <algorithm> <array> <functional> <memory> <optional> <vector>)
set(ENVMETER_PCH_TESTS ${ENVMETER_PCH_CORE} <QProcess> <QSignalSpy> <QTemporaryDir> <QTest>)

# envmeter_precompile(<carrier> <headers>): the carrier compiles the headers once.
function(envmeter_precompile carrier)
    if(ENVMETER_PCH)
        target_precompile_headers(${carrier} PRIVATE ${ARGN})
    endif()
endfunction()

# envmeter_reuse_precompiled(<carrier> <directory>...): every target that compiles C++ in the
# directories, and below them, uses the carrier's precompiled headers.
function(envmeter_reuse_precompiled carrier)
    if(NOT ENVMETER_PCH)
        return()
    endif()
    foreach(dir ${ARGN})
        get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target ${targets})
            get_target_property(type ${target} TYPE)
            if(NOT target STREQUAL carrier AND type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
                target_precompile_headers(${target} REUSE_FROM ${carrier})
            endif()
            # An executable's classes live in libraries, or its own source includes their moc
            # output: the file of its moc output is empty, and loading the headers would be all
            # the work of compiling it.
            if(type STREQUAL "EXECUTABLE")
                get_target_property(binary ${target} BINARY_DIR)
                set_source_files_properties(${binary}/${target}_autogen/mocs_compilation.cpp
                    TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
            endif()
        endforeach()
        get_property(subdirectories DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
        envmeter_reuse_precompiled(${carrier} ${subdirectories})
    endforeach()
endfunction()
