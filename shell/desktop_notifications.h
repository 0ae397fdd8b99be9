// Desktop notifications through the freedesktop notification service on the
// session bus (org.freedesktop.Notifications). Without a session bus or a
// service on it nothing is posted and nothing fails: the caller is told.
#pragma once

#include <QString>

// Whether a notification service is on the session bus now.
bool NotificationServiceAvailable();

// Posts one notification under the program's name. `wait`: returns only once
// the service has answered (for a command that ends right after); otherwise
// the call is sent and the program goes on. False when it could not be sent.
bool PostNotification(const QString& summary, const QString& body, bool wait);
