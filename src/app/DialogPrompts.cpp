// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialogPrompts.h"

#include "jobs/ImageFileCollector.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

bool DialogPrompts::confirm(const QString& message, const QString& informativeText, const QString& acceptButton)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Pressly Pro"), message);
    box.setInformativeText(informativeText);
    // Without a window manager the box would wrap the text to a narrow column.
    box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 320px; }"));
    auto* accept = box.addButton(acceptButton, QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(accept);
    box.exec();
    return box.clickedButton() == accept;
}

std::optional<QString> DialogPrompts::chooseFolder(const QString& message, const QString& acceptButton)
{
    QFileDialog dialog(nullptr,
                       message.isEmpty() ? QCoreApplication::translate("DialogPrompts", "Choose Folder") : message);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, acceptButton);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QList<QUrl> DialogPrompts::chooseImageFiles()
{
    QStringList patterns;
    for (const QString& extension : ImageFileCollector::supportedExtensions())
        patterns << QStringLiteral("*.") + extension;
    const QString filter =
        QCoreApplication::translate("DialogPrompts", "Images (%1)").arg(patterns.join(QLatin1Char(' ')));
    return QFileDialog::getOpenFileUrls(nullptr, QCoreApplication::translate("DialogPrompts", "Add Files"), QUrl(),
                                        filter);
}

QUrl DialogPrompts::chooseImageFolder()
{
    return QFileDialog::getExistingDirectoryUrl(nullptr, QCoreApplication::translate("DialogPrompts", "Add Folder"));
}

std::optional<QString> DialogPrompts::chooseSaveLocation(const QString& proposedName)
{
    const QString start = QDir::home().filePath(proposedName);
    const QString path = QFileDialog::getSaveFileName(
        nullptr, QCoreApplication::translate("DialogPrompts", "Export Sessions"), start,
        QCoreApplication::translate("DialogPrompts", "CSV files (*.csv)"));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void DialogPrompts::inform(const QString& title, const QString& text)
{
    QMessageBox::information(nullptr, title, text);
}
