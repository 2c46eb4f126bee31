#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>

// Answers the modal dialogs a handler opens while it runs: every few
// milliseconds the active modal window is looked up by object name and handed
// to the answer registered for that name. Names seen are kept in order.
class ModalAnswerer {
public:
    using Answer = std::function<void(QDialog&)>;

    explicit ModalAnswerer(std::map<QString, Answer> answers) : answers_(std::move(answers))
    {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    const QStringList& Seen() const { return seen_; }

private:
    void Poll()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog == last_)
            return;
        last_ = dialog;
        seen_ << dialog->objectName();
        const auto answer = answers_.find(dialog->objectName());
        if (answer != answers_.end())
            answer->second(*dialog);
        else
            dialog->reject();
    }

    std::map<QString, Answer> answers_;
    QTimer timer_;
    QStringList seen_;
    QPointer<QDialog> last_;  // cleared when that dialog is destroyed
};
