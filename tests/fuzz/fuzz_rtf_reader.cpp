// Any bytes given as a help file: the reader never crashes, hangs or reads out of bounds.
#include "help/rtf_reader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    // Text documents need a GUI application for their fonts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    QTextDocument document;
    help::readRtf(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), document);
    if (document.characterCount() > qsizetype(size) + 1)
        std::abort(); // every character shown comes from at least one byte
    return 0;
}
