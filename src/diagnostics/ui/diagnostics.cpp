#include "diagnostics/ui/diagnostics.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>

#include "diagnostics/system_facts.h"
#include "diagnostics/ui/tfm_qel_log.h"

namespace kinoloop {

namespace fs = std::filesystem;

namespace {

// The log's line breaks are CR LF; a message with bare line feeds gets them too, so its lines align.
std::string WithLogLineBreaks(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
        result += text[i];
    }
    return result;
}

void ShowPlainMessage(const std::string& text) {
    QMessageBox::information(nullptr, QCoreApplication::applicationName(), QString::fromStdString(text));
}

}  // namespace

std::string ClassChain(const QObject& object) {
    std::string chain;
    for (const QMetaObject* meta = object.metaObject(); meta != nullptr; meta = meta->superClass()) {
        if (!chain.empty()) chain += " > ";
        chain += meta->className();
    }
    return chain;
}

Diagnostics::Diagnostics(fs::path programPath, fs::path logFile, DiagnosticsHooks hooks)
    : programPath_(std::move(programPath)),
      hooks_(std::move(hooks)),
      log_(std::make_unique<TQELLogFile>(
          std::move(logFile),
          [this] {
              LogHooks log = hooks_.log;
              log.viewer = this;
              if (!log.facts) log.facts = [path = programPath_] { return ReadStartFacts(path); };
              if (!log.startFailed) log.startFailed = hooks_.message ? hooks_.message : ShowPlainMessage;
              return log;
          }())),
      debug_(*log_) {
    if (!hooks_.showException) {
        hooks_.showException = [this](const ShownException& shown) {
            QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(),
                            "This module has encounter the following error:\n\n" +
                                QString::fromStdString(shown.infos.Message).replace("\r\n", "\n") + "\n\n " +
                                QString::fromStdString(shown.infos.Type));
            box.setDetailedText(QString::fromStdString(shown.report).replace("\r\n", "\n"));
            box.addButton("Close", QMessageBox::AcceptRole);
            QPushButton* viewLog = box.addButton("View &logfile", QMessageBox::ActionRole);
            viewLog->setEnabled(shown.logging);
            box.exec();
            if (box.clickedButton() == viewLog) log_->ShowLog();
        };
    }
}

Diagnostics::~Diagnostics() {
    log_.reset();  // the stop block, while the window the log refers to still exists
    logWindow_.reset();
}

void Diagnostics::ShowText(const std::string& text) {
    // Made on first use, so that a run that never looks at its log has no window for it.
    if (!logWindow_)
        logWindow_ = std::make_unique<TfmQELLog>(QString::fromStdString(StartupTitle(programPath_)));
    logWindow_->ShowText(text);
}

void Diagnostics::SwitchOn(const std::string& enteringProcedure) {
    if (debug_.Active()) return;
    log_->Active(true);
    debug_.SetActive(true);
    debug_.EnterProc(enteringProcedure);
}

TQELExceptionInfos Diagnostics::Describe(QObject* receiver, std::exception_ptr exception) const {
    TQELExceptionInfos infos;
    try {
        if (exception) std::rethrow_exception(exception);
    } catch (const std::exception& error) {
        SetExceptionType(infos, DemangledName(typeid(error).name()), "std::exception");
        infos.Message = WithLogLineBreaks(error.what());
    } catch (...) {
        // Anything thrown that is not a std::exception: its type cannot be named, its message is unknown.
    }
    infos.ApplicationTitle = StartupTitle(programPath_);
    QString path = QString::fromStdString(programPath_.string()).toLower();
    infos.ProgramPath = path.toStdString();
    if (!QCoreApplication::applicationVersion().isEmpty()) {
        infos.Version = QCoreApplication::applicationVersion().toStdString();
    }
    infos.DateTime = hooks_.log.now ? hooks_.log.now() : LocalDateTime();
    infos.User = UserName();
    infos.Computer = ComputerName();
    if (receiver != nullptr) {
        infos.SenderClass = ClassChain(*receiver);
        if (!receiver->objectName().isEmpty()) infos.SenderName = receiver->objectName().toStdString();
    }
    return infos;
}

void Diagnostics::HandleEventException(QObject* receiver, std::exception_ptr exception) {
    ShownException shown;
    shown.infos = Describe(receiver, exception);
    shown.report =
        debug_.Active() ? debug_.HandleException(shown.infos) : FormatExceptionReport(shown.infos, 0);
    shown.logging = log_->Active();
    if (showing_) return;
    showing_ = true;
    ++shown_;
    try {
        hooks_.showException(shown);
    } catch (const std::exception& failure) {
        // Showing failed: the report is in the log when logging is on; the program goes on either way.
        const std::string why = WithLogLineBreaks(failure.what());
        log_->WriteEntry(LogKind::Info,
                         "Error on displaying Exception :\r\n\r\n" + why + "\r\n\r\n(" + why + ")", true);
    } catch (...) {
        log_->WriteEntry(LogKind::Info, "Error on displaying Exception :", true);
    }
    showing_ = false;
}

}  // namespace kinoloop
