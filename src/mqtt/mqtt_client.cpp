// SPDX-License-Identifier: GPL-3.0-or-later
#include "mqtt/mqtt_client.h"

#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <mosquitto.h>
#include <mqtt_protocol.h>

namespace mqtt {

namespace {

void initLibrary() {
    // Once per process; the library is never cleaned up before exit, since other clients of
    // the same process may still use it.
    [[maybe_unused]] static const int once = mosquitto_lib_init();
}

QString errorText(int rc) {
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

QByteArray utf8OrNull(const QString& s) {
    return s.isEmpty() ? QByteArray() : s.toUtf8();
}

const char* cstr(const QByteArray& b) {
    return b.isNull() ? nullptr : b.constData();
}

} // namespace

Client::Client(ClientOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    initLibrary();
    const QByteArray id = utf8OrNull(options_.clientId);
    mosq_ = mosquitto_new(cstr(id), true, this);
    if (!mosq_) {
        setupError_ = QStringLiteral("клиент MQTT не создан: %1").arg(errorText(MOSQ_ERR_ERRNO));
        return;
    }
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION,
                         options_.protocol == 5 ? MQTT_PROTOCOL_V5 : MQTT_PROTOCOL_V311);
    // Commands and answers are small packets that someone waits for: no Nagle delay.
    mosquitto_int_option(mosq_, MOSQ_OPT_TCP_NODELAY, 1);
    // A shift script sends one command per printer at once; the broker's own limit still holds.
    mosquitto_max_inflight_messages_set(mosq_, 0);
    mosquitto_connect_callback_set(mosq_, &Client::onConnect);
    mosquitto_message_callback_set(mosq_, &Client::onMessage);
    mosquitto_log_callback_set(mosq_, &Client::onLog);

    const QString user = options_.username.isEmpty() ? options_.broker.username : options_.username;
    const QString password =
        options_.password.isEmpty() ? options_.broker.password : options_.password;
    if (!user.isEmpty()) {
        const QByteArray u = user.toUtf8();
        const QByteArray p = utf8OrNull(password);
        mosquitto_username_pw_set(mosq_, u.constData(), cstr(p));
    }
    if (!options_.willTopic.isEmpty()) {
        const QByteArray t = options_.willTopic.toUtf8();
        mosquitto_will_set(mosq_, t.constData(), int(options_.willPayload.size()),
                           options_.willPayload.constData(), 1, options_.willRetain);
    }
    if (options_.broker.tls) {
        if (options_.caFile.isEmpty()) {
            setupError_ = QStringLiteral("для mqtts:// нужен файл удостоверяющего центра (CA)");
            return;
        }
        for (const QString& f : {options_.caFile, options_.certFile, options_.keyFile})
            if (!f.isEmpty() && !QFileInfo(f).isReadable()) {
                setupError_ = QStringLiteral("файл '%1' не читается").arg(f);
                return;
            }
        if (options_.certFile.isEmpty() != options_.keyFile.isEmpty()) {
            setupError_ = QStringLiteral("сертификат клиента нужен вместе с его ключом");
            return;
        }
        const QByteArray ca = options_.caFile.toLocal8Bit();
        const QByteArray cert = utf8OrNull(options_.certFile);
        const QByteArray key = utf8OrNull(options_.keyFile);
        const int rc =
            mosquitto_tls_set(mosq_, ca.constData(), nullptr, cstr(cert), cstr(key), nullptr);
        if (rc != MOSQ_ERR_SUCCESS)
            setupError_ = QStringLiteral("TLS: %1").arg(errorText(rc));
    }

    miscTimer_.setInterval(1000);
    connect(&miscTimer_, &QTimer::timeout, this, &Client::onMisc);
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &Client::tryConnect);
}

Client::~Client() {
    dropSocket();
    if (mosq_)
        mosquitto_destroy(mosq_);
}

void Client::start() {
    stopping_ = false;
    if (state_ == State::Idle)
        tryConnect();
}

void Client::stop() {
    stopping_ = true;
    retryTimer_.stop();
    if (mosq_ && state_ == State::Connected) {
        mosquitto_disconnect(mosq_);
        // Whatever is still queued goes out before the goodbye closes the socket.
        for (int i = 0; i < 100 && mosquitto_want_write(mosq_); ++i)
            if (mosquitto_loop_write(mosq_, 1) != MOSQ_ERR_SUCCESS)
                break;
    }
    dropSocket();
    state_ = State::Idle;
}

bool Client::publish(const QString& topic, const QByteArray& payload, int qos, bool retain) {
    if (!mosq_)
        return false;
    const QByteArray t = topic.toUtf8();
    const int rc = mosquitto_publish(mosq_, nullptr, t.constData(), int(payload.size()),
                                     payload.constData(), qos, retain);
    updateWrite();
    return rc == MOSQ_ERR_SUCCESS;
}

void Client::subscribe(const QString& filter, int qos) {
    subscriptions_.append({filter, qos});
    if (state_ == State::Connected) {
        mosquitto_subscribe(mosq_, nullptr, filter.toUtf8().constData(), qos);
        updateWrite();
    }
}

bool Client::wantsWrite() const {
    return mosq_ && state_ == State::Connected && mosquitto_want_write(mosq_);
}

void Client::tryConnect() {
    if (!mosq_ || !setupError_.isEmpty() || stopping_) {
        if (!setupError_.isEmpty())
            emit disconnected(setupError_);
        return;
    }
    // The TCP connection itself is made blocking (libmosquitto's own loop functions need that);
    // a refused or closed port answers at once, and the socket is non-blocking afterwards.
    const QByteArray host = options_.broker.host.toUtf8();
    lastTlsError_.clear();
    const int rc =
        mosquitto_connect(mosq_, host.constData(), options_.broker.port, options_.keepAliveS);
    if (rc != MOSQ_ERR_SUCCESS) {
        lost(failure(rc));
        return;
    }
    state_ = State::Connecting;
    connackRc_ = -1;
    connectTicks_ = 0;
    watchSocket();
    miscTimer_.start();
}

void Client::watchSocket() {
    dropSocket();
    const int fd = mosquitto_socket(mosq_);
    if (fd < 0)
        return;
    readNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &Client::onReadable);
    writeNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &Client::onWritable);
    updateWrite();
}

void Client::dropSocket() {
    for (QSocketNotifier** n : {&readNotifier_, &writeNotifier_})
        if (*n) {
            (*n)->setEnabled(false);
            (*n)->deleteLater();
            *n = nullptr;
        }
}

void Client::lost(const QString& reason) {
    dropSocket();
    miscTimer_.stop();
    state_ = stopping_ ? State::Idle : State::Waiting;
    if (!stopping_) {
        retryMs_ = retryMs_ == 0 ? options_.firstRetryMs
                                 : qMin(retryMs_ * 2, qMax(options_.lastRetryMs, 1));
        retryTimer_.start(retryMs_);
    }
    emit disconnected(reason);
}

void Client::updateWrite() {
    if (writeNotifier_)
        writeNotifier_->setEnabled(mosq_ && mosquitto_want_write(mosq_));
}

void Client::onReadable() {
    if (!mosq_ || !readNotifier_)
        return;
    const int rc = mosquitto_loop_read(mosq_, 1);
    if (rc != MOSQ_ERR_SUCCESS) {
        flushEvents();
        if (state_ != State::Waiting && state_ != State::Idle)
            lost(failure(rc));
        return;
    }
    updateWrite();
    flushEvents();
}

void Client::onWritable() {
    if (!mosq_ || !writeNotifier_)
        return;
    const int rc = mosquitto_loop_write(mosq_, 1);
    if (rc != MOSQ_ERR_SUCCESS) {
        lost(failure(rc));
        return;
    }
    updateWrite();
}

void Client::onMisc() {
    if (!mosq_)
        return;
    if (state_ == State::Connecting && connackRc_ < 0 && ++connectTicks_ > 10) {
        lost(QStringLiteral("%1: брокер не ответил на подключение").arg(options_.broker.display()));
        return;
    }
    const int rc = mosquitto_loop_misc(mosq_);
    if (rc != MOSQ_ERR_SUCCESS && (state_ == State::Connected || state_ == State::Connecting)) {
        lost(failure(rc));
        return;
    }
    updateWrite();
}

void Client::flushEvents() {
    if (connackRc_ >= 0 && state_ == State::Connecting) {
        const int rc = connackRc_;
        if (rc != 0) {
            mosquitto_disconnect(mosq_);
            lost(QStringLiteral("%1: %2").arg(options_.broker.display(),
                                              QString::fromUtf8(mosquitto_connack_string(rc))));
            return;
        }
        state_ = State::Connected;
        retryMs_ = 0;
        for (const auto& [filter, qos] : subscriptions_)
            mosquitto_subscribe(mosq_, nullptr, filter.toUtf8().constData(), qos);
        updateWrite();
        emit connected();
    }
    // A slot may stop or delete nothing here, but it may publish: take the messages first.
    const auto inbox = std::exchange(inbox_, {});
    for (const auto& [topic, payload] : inbox)
        emit messageReceived(topic, payload);
}

QString Client::failure(int rc) const {
    QString why = errorText(rc);
    if (options_.broker.tls && !lastTlsError_.isEmpty())
        why = tlsFailureText(lastTlsError_, options_.caFile);
    return QStringLiteral("%1: %2").arg(options_.broker.display(), why);
}

QString tlsFailureText(const QString& opensslError, const QString& caFile) {
    // "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify failed"
    const QString reason = opensslError.section(QLatin1Char(':'), -1).trimmed();
    if (reason == QLatin1String("certificate verify failed"))
        return QStringLiteral("TLS: сертификат брокера не подписан удостоверяющим центром из '%1' "
                              "или выдан не на этот узел (%2)")
            .arg(caFile, reason);
    if (reason.contains(QLatin1String("certificate required")))
        return QStringLiteral("TLS: брокер требует сертификат клиента (cert-file и key-file) (%1)")
            .arg(reason);
    return QStringLiteral("TLS: %1").arg(reason.isEmpty() ? opensslError : reason);
}

void Client::onLog(mosquitto*, void* self, int level, const char* text) {
    // The first line of OpenSSL's error queue is the cause; later ones only restate it.
    auto* client = static_cast<Client*>(self);
    const QString line = QString::fromUtf8(text);
    if (level == MOSQ_LOG_ERR && client->lastTlsError_.isEmpty() &&
        line.startsWith(QLatin1String("OpenSSL Error")))
        client->lastTlsError_ = line;
}

void Client::onConnect(mosquitto*, void* self, int rc) {
    static_cast<Client*>(self)->connackRc_ = rc;
}

void Client::onMessage(mosquitto*, void* self, const mosquitto_message* m) {
    static_cast<Client*>(self)->inbox_.append(
        {QString::fromUtf8(m->topic),
         QByteArray(static_cast<const char*>(m->payload), m->payloadlen)});
}

} // namespace mqtt
