#include "platform/system/SchemeHandler.h"

#include <QAbstractEventDispatcher>
#include <QTimer>

#include <gio/gio.h>

namespace corvane {

namespace {

// The monitor's signal is delivered through the GLib main context. Qt's usual
// event loop on Linux runs that context; under another dispatcher it would
// never be dispatched, so a cheap poll stands in.
bool eventLoopRunsGlib() {
    auto* dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher != nullptr && dispatcher->inherits("QEventDispatcherGlib");
}

constexpr int kPollMs = 5000;

}  // namespace

GioSchemeHandler::GioSchemeHandler(QByteArray scheme, QObject* parent)
    : QObject(parent), scheme_(std::move(scheme)) {
    if (eventLoopRunsGlib()) {
        GAppInfoMonitor* monitor = g_app_info_monitor_get();
        monitor_ = monitor;
        handlerId_ = g_signal_connect(monitor, "changed",
                                      G_CALLBACK(&GioSchemeHandler::onMonitorChanged), this);
    } else {
        poll_ = new QTimer(this);
        poll_->setInterval(kPollMs);
        connect(poll_, &QTimer::timeout, this, &GioSchemeHandler::refresh);
        poll_->start();
    }
    refresh();
}

GioSchemeHandler::~GioSchemeHandler() {
    if (monitor_ != nullptr) {
        g_signal_handler_disconnect(monitor_, handlerId_);
        g_object_unref(monitor_);
    }
}

void GioSchemeHandler::onMonitorChanged(void* /*monitor*/, void* self) {
    static_cast<GioSchemeHandler*>(self)->refresh();
}

void GioSchemeHandler::refresh() {
    GAppInfo* info = g_app_info_get_default_for_uri_scheme(scheme_.constData());
    const bool installed = info != nullptr;
    if (info != nullptr) {
        g_object_unref(info);
    }
    if (installed != installed_) {
        installed_ = installed;
        Q_EMIT handlerChanged(installed_);
    }
}

bool GioSchemeHandler::open(const QUrl& url) {
    if (!url.isValid() || url.scheme().toUtf8() != scheme_) {
        return false;
    }
    const QByteArray uri = url.toEncoded();
    GError* error = nullptr;
    const gboolean launched = g_app_info_launch_default_for_uri(uri.constData(), nullptr, &error);
    if (error != nullptr) {
        g_error_free(error);
    }
    return launched != FALSE;
}

}  // namespace corvane
