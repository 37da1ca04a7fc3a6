// Opens and saves a 10 MB text in the real editor window on the offscreen
// platform and prints how long each took. The goal is one second for each.

#include "editor/uEditor.h"
#include "platform/ui/ApplicationSetUp.h"
#include "platform/ui/Prompter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int fileSize = 10 * 1024 * 1024;

// Picks the same file in every dialog and answers no question.
class FixedFilePrompter final : public kb::platform::Prompter {
public:
    explicit FixedFilePrompter(QString file)
        : m_file(std::move(file))
    {
    }
    bool askYesNo(QWidget*, const QString&, DefaultAnswer) override { return false; }
    void showError(QWidget*, const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    void showResult(QWidget*, const QString&) override {}
    QString chooseFileToOpen(QWidget*, const kb::platform::FileDialogRequest&) override { return m_file; }
    QString chooseFileToSave(QWidget*, const kb::platform::FileDialogRequest&) override { return m_file; }

private:
    QString m_file;
};

// Prose-like lines of 40 to 100 characters, with the given line end.
QByteArray sampleText(const QByteArray& lineEnd)
{
    static const char words[] = "Lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod "
                                "tempor incididunt ut labore et dolore magna aliqua caf\xe9 na\xefve ";
    QByteArray text;
    text.reserve(fileSize + 200);
    int line = 0;
    while (text.size() < fileSize) {
        const int length = 40 + (line * 37) % 61;
        for (int i = 0; i < length; ++i)
            text += words[(line * 13 + i) % (sizeof(words) - 1)];
        text += lineEnd;
        ++line;
    }
    text.truncate(fileSize);
    return text;
}

struct Figures {
    double best, median, worst;
};

Figures summarise(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples.front(), samples[samples.size() / 2], samples.back()};
}

void report(const char* what, const Figures& f)
{
    std::printf("%-34s best %7.1f ms  median %7.1f ms  worst %7.1f ms  %s\n", what, f.best, f.median, f.worst,
                f.worst <= 1000.0 ? "(within 1 s)" : "(OVER 1 s)");
}

// One paragraph of words: the worst a text can be for the wrapping text area,
// which then lays out the whole file as a single block.
QByteArray singleLine()
{
    QByteArray text;
    text.reserve(fileSize + 8);
    while (text.size() < fileSize)
        text += "word ";
    text.truncate(fileSize);
    return text;
}

void timeCase(const char* name, const QByteArray& bytes, const QString& directory, int runs)
{
    const QString path = directory + QStringLiteral("/sample.txt");
    std::vector<double> openTimes;
    std::vector<double> saveTimes;
    for (int run = 0; run < runs; ++run) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
        file.close();

        kb::platform::setPrompter(std::make_unique<FixedFilePrompter>(path));
        TfmEdit editor;
        editor.show();
        QApplication::processEvents();
        auto* memo = editor.findChild<QPlainTextEdit*>(QStringLiteral("Memo"));

        QElapsedTimer timer;
        timer.start();
        editor.findChild<QToolButton*>(QStringLiteral("ToolButton1"))->click();
        QApplication::processEvents();
        memo->viewport()->repaint();
        openTimes.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        editor.findChild<QToolButton*>(QStringLiteral("SaveButton"))->click();
        saveTimes.push_back(timer.nsecsElapsed() / 1e6);

        if (memo->document()->isEmpty())
            std::fprintf(stderr, "nothing was loaded\n");
    }
    kb::platform::setPrompter(nullptr);
    std::printf("%s (%d bytes, %d runs)\n", name, static_cast<int>(bytes.size()), runs);
    report("  open and shown", summarise(openTimes));
    report("  save", summarise(saveTimes));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto app = kb::platform::setUpApplication(argc, argv, {QStringLiteral("Kestrelbook"), {}, {}});

    QTemporaryDir directory;
    if (!directory.isValid())
        return 1;
    timeCase("10 MB, CR LF lines", sampleText("\r\n"), directory.path(), 5);
    timeCase("10 MB, LF lines", sampleText("\n"), directory.path(), 5);
    timeCase("10 MB, one line without breaks", singleLine(), directory.path(), 2);
    return 0;
}
