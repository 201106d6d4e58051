// "Импорт из OpenStreetMap": the importer's library runs on a thread of its
// own; the window shows its stage and the share of the file read, and opens
// the new city when the dataset is written.
#include "mainwindow/importcommand.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>

#include "addresscheck.h"
#include "mainwindow/mainwindow.h"
#include "osmimport.h"
#include "output.h"

namespace urbica {

namespace {

constexpr int kProgressInterval = 100;  // ms between updates of the dialog

// What the import thread and the window share. The thread writes the stage
// under the lock, and the outcome before it ends; the window reads the
// outcome once the thread has finished.
struct ImportJob {
    QString osmFile, target;
    std::atomic<bool> cancel{false};
    std::atomic<bool> writing{false};  // past the point where cancel is heard
    std::mutex mutex;
    QString phase;
    double fraction = 0;
    bool ok = false;
    QString error;
    QStringList summary;

    void setPhase(const QString& p, double f) {
        std::lock_guard<std::mutex> lock(mutex);
        phase = p;
        fraction = f;
    }
};

void runImport(ImportJob& job) {
    osmimport::ImportResult result;
    const auto progress = [&job](const QString& p, double f) { job.setPhase(p, f); };
    if (!osmimport::readOsm(job.osmFile, result, &job.error, progress, &job.cancel)) return;
    job.writing = true;
    if (job.cancel) {
        job.error = osmimport::importCancelledText();
        return;
    }
    job.setPhase(QStringLiteral("запись набора данных"), 0);
    // Held until the dataset has been read back, so that another import into
    // the folder waits for this one as a whole.
    WriterLock lock;
    const auto waiting = [&job] {
        job.setPhase(datasetBusyText(job.target) + QStringLiteral(", ожидание"), 0);
    };
    if (!osmimport::writeImported(result, job.target, &job.error, &lock, kDatasetLockWaitMs,
                                  waiting))
        return;
    job.summary = osmimport::reportLines(result);
    osmimport::dropWrittenData(result);  // the check reads the files
    job.setPhase(QStringLiteral("проверка адресов"), 0);
    const osmimport::AddressCheck found = osmimport::checkAddresses(job.target, result.addresses);
    const QStringList stations = osmimport::metroStations(job.target);
    if (found.error.isEmpty())
        job.summary << QStringLiteral("адреса, найденные поиском дома: %1 из %2")
                           .arg(found.found)
                           .arg(found.total);
    const QString shown = stations.size() > 30 ? stations.mid(0, 30).join(QStringLiteral(", ")) +
                                                     QStringLiteral(", …")
                                               : stations.join(QStringLiteral(", "));
    job.summary << QStringLiteral("станции метро (%1): %2").arg(stations.size()).arg(shown);
    job.ok = true;
}

// Empty when the dataset may be written to the folder; otherwise why not.
QString targetProblem(const QString& target) {
    const QFileInfo info(QDir::cleanPath(QDir(target).absolutePath()));
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (info.exists()) {
        if (!info.isDir()) return QStringLiteral("%1 — это файл, а не папка.").arg(shown);
        if (!QDir(info.absoluteFilePath())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                 .isEmpty())
            return QStringLiteral(
                       "Папка %1 не пуста. Для нового города укажите новую или пустую "
                       "папку.")
                .arg(shown);
    }
    // The dataset is written beside the folder first, then takes its place.
    const QFileInfo parent(info.absolutePath());
    if (!parent.isDir() ||
        !QTemporaryDir(QDir(parent.absoluteFilePath()).filePath(QStringLiteral(".urbica-XXXXXX")))
             .isValid())
        return QStringLiteral("Нельзя писать в папку %1.")
            .arg(QDir::toNativeSeparators(parent.absoluteFilePath()));
    return QString();
}

QString chooseOsmFile(MainWindow& w) {
    if (w.options().chooseOsmFile) return w.options().chooseOsmFile();
    return QFileDialog::getOpenFileName(
        &w, QStringLiteral("Импорт из OpenStreetMap"), QString(),
        QStringLiteral("Данные OpenStreetMap (*.osm *.osm.pbf *.osm.bz2 *.osm.gz);;Все файлы (*)"));
}

// A folder dialog that also takes the name of a folder not made yet, typed
// in its name box: the import makes it when it starts.
class NewFolderDialog : public QFileDialog {
public:
    explicit NewFolderDialog(QWidget* parent)
        : QFileDialog(parent, QStringLiteral("Новая папка для набора данных города")) {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly);
        // Only Qt's own dialog lets a typed name that is no folder yet through.
        setOption(QFileDialog::DontUseNativeDialog);
        setLabelText(QFileDialog::FileName, QStringLiteral("Папка:"));
    }
    QString chosen() const { return chosen_; }

    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo info(files.first());
            if (!info.exists() && QFileInfo(info.absolutePath()).isDir()) {
                chosen_ = info.absoluteFilePath();
                QDialog::accept();
                return;
            }
        }
        QFileDialog::accept();
        if (result() == QDialog::Accepted && !selectedFiles().isEmpty())
            chosen_ = selectedFiles().first();
    }

private:
    QString chosen_;
};

QString chooseImportFolder(MainWindow& w) {
    if (w.options().chooseImportFolder) return w.options().chooseImportFolder();
    NewFolderDialog dialog(&w);
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.chosen();
}

void showProgress(ImportJob& job, QProgressDialog& dialog) {
    QString phase;
    double fraction = 0;
    {
        std::lock_guard<std::mutex> lock(job.mutex);
        phase = job.phase;
        fraction = job.fraction;
    }
    if (job.cancel) return;
    if (job.writing) dialog.setCancelButtonText(QString());  // too late to cancel
    // A stage that reports no share leaves the bar as it was.
    const int percent = std::clamp(int(fraction * 100), 0, 100);
    if (phase.isEmpty())
        dialog.setLabelText(QStringLiteral("Чтение файла…"));
    else if (fraction > 0)
        dialog.setLabelText(
            QStringLiteral("Импорт: %1, прочитано %2 % файла").arg(phase).arg(percent));
    else
        dialog.setLabelText(QStringLiteral("Импорт: %1…").arg(phase));
    if (fraction > 0 || dialog.value() < 0) dialog.setValue(percent);
}

}  // namespace

void importOsmCommand(MainWindow& w, const MessageFunction& message) {
    const QString osmFile = chooseOsmFile(w);
    if (osmFile.isEmpty()) return;
    // A folder that cannot take the city is said, and the folder asked for again.
    QString target;
    for (;;) {
        target = chooseImportFolder(w);
        if (target.isEmpty()) return;
        const QString problem = targetProblem(target);
        if (problem.isEmpty()) break;
        message(problem);
    }
    auto job = std::make_shared<ImportJob>();
    job->osmFile = osmFile;
    job->target = QDir::cleanPath(QDir(target).absolutePath());
    // A folder typed by name is made now, and goes again if the import fails.
    const bool madeTarget = !QFileInfo::exists(job->target);
    if (madeTarget && !QDir().mkdir(job->target)) {
        message(QStringLiteral("Не удалось создать папку %1.")
                    .arg(QDir::toNativeSeparators(job->target)));
        return;
    }

    QProgressDialog dialog(QStringLiteral("Чтение файла…"), QStringLiteral("Отменить"), 0, 100, &w);
    dialog.setObjectName(QStringLiteral("importprogress"));
    dialog.setWindowTitle(QStringLiteral("Импорт из OpenStreetMap"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [job, &dialog] {
        // The thread stops at its next block of the file; until then the
        // dialog stays up without its button.
        job->cancel = true;
        dialog.setCancelButtonText(QString());
        dialog.setLabelText(QStringLiteral("Импорт отменяется…"));
        dialog.show();
    });
    QTimer timer;
    timer.setInterval(kProgressInterval);
    QObject::connect(&timer, &QTimer::timeout, &dialog,
                     [job, &dialog] { showProgress(*job, dialog); });

    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create([job] { runImport(*job); }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    w.setProperty(MainWindow::kImportRunningProperty, true);
    thread->start();
    dialog.show();
    timer.start();
    // The window keeps painting and its timers run; the dialog takes the input.
    while (!thread->isFinished()) loop.exec();
    thread->wait();
    timer.stop();
    dialog.hide();
    w.setProperty(MainWindow::kImportRunningProperty, false);

    if (!job->ok) {
        if (madeTarget) QDir().rmdir(job->target);  // only while it is empty
        if (job->cancel)
            message(QStringLiteral("Импорт отменён; набор данных не записан."));
        else
            message(QStringLiteral("Импорт не выполнен: %1").arg(job->error));
        return;
    }
    // A real city has far more names than fit on a view: its labels are kept
    // apart, as the importer's program files set it, unless the user chose.
    Settings& settings = w.appState().settings;
    if (settings.labelsApartChosen == 0) settings.labelsApart = 1;
    if (!w.openCity(job->target)) return;
    message(QStringLiteral("Город из файла %1 записан в папку %2.\n\n%3")
                .arg(QDir::toNativeSeparators(osmFile), QDir::toNativeSeparators(job->target),
                     job->summary.join(QLatin1Char('\n'))));
}

bool runImportCommand(MainWindow& w, const QString& name, const MessageFunction& message) {
    if (name != QLatin1String("importosm")) return false;
    importOsmCommand(w, message);
    return true;
}

}  // namespace urbica
