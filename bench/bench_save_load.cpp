// Saving and loading a log of 99,999 records through the real dialog, from the toolbar button
// to the window activated again with the log it now shows.
#include "shown_program.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>

namespace {

constexpr int kRecords = 99999;

struct Window : ShownProgram {
    Window() : ShownProgram(kRecords) {}
    /// "Data Save/Load", with the dialog used as `use` says once it shows.
    void saveOrLoad(const std::function<void(QDialog *)> &use) {
        QTimer::singleShot(0, &program.mainWindow(), [use] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                use(dialog);
        });
        program.toolbar().onToolbarButtonClick(window::toolbar::kDataSaveLoad);
        QCoreApplication::processEvents(); // the grid shows the log
    }
};

Window &window() {
    static Window w;
    return w;
}

void BM_Save(benchmark::State &state) {
    Window &w = window();
    static int saves = 0; // the benchmark runs this function more than once
    for (auto _ : state) {
        const QString name = QStringLiteral("day%1").arg(++saves);
        w.saveOrLoad([name](QDialog *dialog) {
            dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(name);
            dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        });
    }
    if (!QFile::exists(w.dir.filePath(QStringLiteral("day1.710"))))
        state.SkipWithError("nothing saved");
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State &state) {
    Window &w = window();
    for (auto _ : state) {
        w.saveOrLoad([](QDialog *dialog) {
            dialog->findChild<QRadioButton *>(QStringLiteral("Option2"))->click();
            dialog->findChild<QListWidget *>(QStringLiteral("File1"))->setCurrentRow(0);
            dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        });
    }
    if (w.program.gridSource().recordCount() != kRecords || !w.messages.shown().isEmpty())
        state.SkipWithError("the log was not loaded");
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
