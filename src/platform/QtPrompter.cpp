#include "platform/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace halvex {

Answer QtPrompter::show(const MessageBox& box)
{
    QMessageBox mb(QApplication::activeWindow());
    mb.setWindowTitle(box.title);
    mb.setText(box.text);
    switch (box.icon) {
    case Icon::None:
        mb.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        mb.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        mb.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        mb.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        mb.setIcon(QMessageBox::Question);
        break;
    }
    switch (box.buttons) {
    case Buttons::Ok:
        mb.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        mb.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        mb.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (mb.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

QString QtPrompter::ask(const InputBox& box)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), box.title, box.prompt,
                                               QLineEdit::Normal, box.defaultText, &ok);
    return ok ? text : QString();
}

QString QtPrompter::askSaveFile(SaveDialog& dialog)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), dialog.caption,
                                        dialog.startPath, dialog.filter, &dialog.selectedFilter);
}

QString QtPrompter::askOpenFile(const SaveDialog& dialog)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), dialog.caption,
                                        dialog.startPath, dialog.filter);
}

QString QtPrompter::askFolder(const SaveDialog& dialog)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), dialog.caption,
                                             dialog.startPath);
}

} // namespace halvex
