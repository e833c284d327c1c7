// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mqtt/broker_url.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;

namespace mqtt {

struct ClientOptions {
    BrokerUrl broker;
    QString clientId;
    // Username and password from the URL are used when these are empty.
    QString username;
    QString password;
    QString caFile;   // mqtts: the authority the broker's certificate is checked against
    QString certFile; // optional client certificate and its key
    QString keyFile;
    int protocol = 4; // 4 = MQTT 3.1.1, 5 = MQTT 5
    int keepAliveS = 30;
    // The broker publishes this when the client vanishes without saying goodbye.
    QString willTopic;
    QByteArray willPayload;
    bool willRetain = true;
    // Reconnect back-off: doubles from the first delay up to the last.
    int firstRetryMs = 500;
    int lastRetryMs = 30000;
};

// One connection to the broker, driven by the Qt event loop: the socket is watched by
// QSocketNotifiers, keep-alives by a timer, and a lost connection is retried with a bounded
// back-off. Subscriptions are remembered and made again on every connection. Messages and state
// changes are emitted after libmosquitto has returned, never from inside it.
class Client : public QObject {
    Q_OBJECT
public:
    explicit Client(ClientOptions options, QObject* parent = nullptr);
    ~Client() override;

    // Empty when the options are usable; else what is wrong with them (a CA file missing...).
    QString setupError() const { return setupError_; }

    void start();
    // Says goodbye (no last will) and stays disconnected.
    void stop();
    bool isConnected() const { return state_ == State::Connected; }
    const ClientOptions& options() const { return options_; }

    // False when the message could not be queued (not connected, too large...).
    bool publish(const QString& topic, const QByteArray& payload, int qos, bool retain);
    void subscribe(const QString& filter, int qos);
    // Messages still queued for the broker (QoS 1 not yet acknowledged included).
    bool wantsWrite() const;

signals:
    void connected();
    // After a connection was lost or refused; the client retries by itself unless stopped.
    void disconnected(const QString& reason);
    void messageReceived(const QString& topic, const QByteArray& payload);

private:
    enum class State { Idle, Connecting, Connected, Waiting };

    void tryConnect();
    void watchSocket();
    void dropSocket();
    void lost(const QString& reason);
    void updateWrite();
    void onReadable();
    void onWritable();
    void onMisc();
    void flushEvents();
    QString failure(int rc) const;

    static void onConnect(mosquitto*, void* self, int rc);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);
    static void onLog(mosquitto*, void* self, int level, const char* text);

    ClientOptions options_;
    mosquitto* mosq_ = nullptr;
    QString setupError_;
    State state_ = State::Idle;
    bool stopping_ = false;
    int retryMs_ = 0;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QTimer miscTimer_;
    QTimer retryTimer_;
    QList<QPair<QString, int>> subscriptions_;
    // Filled by libmosquitto's callbacks, emitted once it has returned.
    QList<QPair<QString, QByteArray>> inbox_;
    int connackRc_ = -1;
    int connectTicks_ = 0;
    // libmosquitto says only "a TLS error occurred"; OpenSSL's reason comes through its log.
    QString lastTlsError_;
};

// What to tell a person about a failed TLS connection, from OpenSSL's own error line.
QString tlsFailureText(const QString& opensslError, const QString& caFile);

} // namespace mqtt
