#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// The passwords of the accounts that address books are synchronised with. They are never
// written into the database: the desktop's secret store (Secret Service or KWallet) keeps them
// under the program's name and "user@server"; where no store answers, the password typed once
// is kept in memory until the program ends, and asked again on the next run.
namespace zorvan::app {

// The password of user at server: the one given this run, else the secret store's, else asked
// in a dialog over parent. False when the user cancelled the dialog.
bool FindSyncPassword(QWidget* parent, const QString& server, const QString& user,
                      QString& password);

// Keeps password for this run and in the secret store; false when no store took it (it is then
// kept for this run only).
bool RememberSyncPassword(const QString& server, const QString& user, const QString& password);

// Drops the password from this run's memory and from the secret store (a refused password is
// asked again, not tried again).
void ForgetSyncPassword(const QString& server, const QString& user);

// Tests answer the question themselves (nullopt: cancelled) and keep the desktop's store out.
using SyncPasswordPrompt =
    std::function<std::optional<QString>(const QString& server, const QString& user)>;
void SetSyncPasswordPromptForTesting(SyncPasswordPrompt prompt);

}  // namespace zorvan::app
