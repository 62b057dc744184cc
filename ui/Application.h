#pragma once
// The application object: its title (the text of the program's task-bar
// entry, apart from the main window's caption) and the default handler for
// failures that no command catches.

#include "ui/MessageDialogs.h"

#include <exception>
#include <string>

namespace kp::ui {

class ApplicationHost {
public:
    virtual ~ApplicationHost() = default;
    virtual void SetTitle(const std::string& title) = 0;
};

class TApplication {
public:
    TApplication(ApplicationHost& host, MessageDialogService& dialogs) : host_(host), dialogs_(dialogs) {}

    const std::string& Title() const { return title_; }
    void SetTitle(std::string title)
    {
        title_ = std::move(title);
        host_.SetTitle(title_);
    }
    MessageDialogService& Dialogs() { return dialogs_; }

    // The help file the Help menu opens: a bare name, found by the help
    // viewer's own search path.
    std::string HelpFile;

    // A failure no command caught: a stop-icon box with its text and the
    // application title as caption; the program goes on.
    void HandleException(const std::exception& failure)
    {
        dialogs_.Show(failure.what(), title_, DialogKind::Error, mbOK);
    }

private:
    ApplicationHost& host_;
    MessageDialogService& dialogs_;
    std::string title_;
};

}  // namespace kp::ui
