#include "periphery/WebWindow.h"

#include "periphery/MakerPage.h"
#include "platform/InputBlocker.h"
#include "platform/Module.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompter.h"

#include <QPointer>
#include <QProcess>
#include <QWidget>

#include <memory>

namespace halvex {

namespace {

// One use of the menu command: the first window's program, then the second's. It lives, as a
// child of the main window, until the second program ends; the programs still running when the
// main window goes are ended with it.
class WebPageRun final : public QObject
{
public:
    WebPageRun(const ProgramFolder& folder, Prompter& prompter, QWidget* window)
        : QObject(window), m_folder(folder), m_prompter(prompter), m_window(window),
          m_address(makerPageAddress(folder))
    {
        setObjectName(QStringLiteral("webPageRun"));
    }
    ~WebPageRun() override
    {
        // The programs still running go with the main window; their ends are no news any more.
        for (QProcess* process : findChildren<QProcess*>()) {
            process->disconnect(this);
            process->kill();
            process->waitForFinished(3000);
        }
    }
    WebPageRun(const WebPageRun&) = delete;
    WebPageRun& operator=(const WebPageRun&) = delete;

    void start()
    {
        // The main window takes no input while the first window is open, as under a modal window.
        m_blocker = std::make_unique<InputBlocker>();
        run([this] {
            m_blocker.reset();
            // The page is a file of the program folder; without it there is nothing to open.
            if (!m_folder.shippedExists(kMakerPageFileName)) {
                m_prompter.message(
                    QStringLiteral("Please make sure you are connected to the internet"), {},
                    Buttons::Ok, Icon::Information);
                deleteLater();
                return;
            }
            run([this] { deleteLater(); });
        });
    }

private:
    // Starts the window's program; `closed` follows when it has ended after its window was
    // closed. A failure to start, or an end with a failure, is reported instead.
    template <typename Closed> void run(Closed closed)
    {
        auto* process = new QProcess(this);
        process->setObjectName(kBrowserProgramName);
        process->setProgram(programFilePath(kBrowserProgramName));
        QStringList args;
        if (m_window)
            args << QStringLiteral("--transient-for") << QString::number(m_window->winId());
        args << m_address << m_address;
        process->setArguments(args);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->setStandardInputFile(QProcess::nullDevice());
        connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError e) {
            if (e != QProcess::FailedToStart)
                return;
            failed(QStringLiteral("%1: %2").arg(process->program(), process->errorString()));
        });
        connect(process, &QProcess::finished, this,
                [this, process, closed](int code, QProcess::ExitStatus status) {
                    process->deleteLater();
                    // A program ended by a signal is a window gone: the operator goes on.
                    if (status == QProcess::NormalExit && code != 0) {
                        failed(QStringLiteral("%1 ended with exit code %2.")
                                   .arg(process->program())
                                   .arg(code));
                        return;
                    }
                    closed();
                });
        process->start();
    }

    void failed(const QString& why)
    {
        m_blocker.reset();
        m_prompter.message(QStringLiteral("The web page window cannot be opened:\r\n%1").arg(why));
        deleteLater();
    }

    ProgramFolder m_folder;
    Prompter& m_prompter;
    QPointer<QWidget> m_window;
    QString m_address;
    std::unique_ptr<InputBlocker> m_blocker;
};

} // namespace

void openWebPageWindows(const ProgramFolder& folder, Prompter& prompter, QWidget* window)
{
    (new WebPageRun(folder, prompter, window))->start();
}

} // namespace halvex
