#include "platform/system/PulseAudio.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace corvane {

bool outputIsSilent(bool muted, std::uint32_t maxVolume) {
    if (muted) return true;
    return double(maxVolume) / double(PA_VOLUME_NORM) < 0.01;
}

int pulseRetrySeconds(int failures) {
    int seconds = 5;
    for (int i = 0; i < failures && seconds < 60; ++i) seconds *= 2;
    return std::min(seconds, 60);
}

// Everything below except the cache accessors runs on the main loop's
// thread, inside its lock, as libpulse calls back.
struct PulseAudio::Impl {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_time_event* retry = nullptr;
    int failures = 0;  // attempts since the last working connection

    // The cache, read from any thread.
    mutable std::mutex mutex;
    bool connected = false;
    bool haveSink = false;
    bool muted = false;
    pa_volume_t maxVolume = PA_VOLUME_NORM;
    std::optional<std::vector<SinkInputInfo>> inputs;

    // Being collected by a running list query.
    std::vector<SinkInputInfo> collecting;
    std::string defaultSink;

    void connect() {
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), "Corvane");
        if (!context) {
            scheduleRetry();
            return;
        }
        pa_context_set_state_callback(context, &Impl::onState, this);
        pa_context_set_subscribe_callback(context, &Impl::onEvent, this);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) dropContext();
    }

    void dropContext() {
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_set_subscribe_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
            context = nullptr;
        }
        {
            std::lock_guard lock(mutex);
            connected = false;
            haveSink = false;
            inputs.reset();
        }
        scheduleRetry();
    }

    void scheduleRetry() {
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
        if (retry) return;
        retry = api->time_new(api, nullptr, &Impl::onRetry, this);
        if (!retry) return;
        timeval when;
        pa_gettimeofday(&when);
        // A server that is gone for long (a machine without one) is asked
        // less and less often; a restarted one is found again within seconds.
        pa_timeval_add(&when, pa_usec_t(pulseRetrySeconds(failures)) * PA_USEC_PER_SEC);
        ++failures;
        api->time_restart(retry, &when);
    }

    static void onRetry(pa_mainloop_api* api, pa_time_event* e, const timeval*, void* userdata) {
        auto* self = static_cast<Impl*>(userdata);
        api->time_free(e);
        self->retry = nullptr;
        if (!self->context) self->connect();
    }

    static void onState(pa_context* c, void* userdata) {
        auto* self = static_cast<Impl*>(userdata);
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY: {
            self->failures = 0;
            {
                std::lock_guard lock(self->mutex);
                self->connected = true;
            }
            const auto mask = pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER |
                                                     PA_SUBSCRIPTION_MASK_SINK_INPUT);
            unrefOp(pa_context_subscribe(c, mask, nullptr, nullptr));
            self->queryServer();
            self->querySinkInputs();
            break;
        }
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            self->dropContext();
            break;
        default:
            break;
        }
    }

    static void onEvent(pa_context*, pa_subscription_event_type_t type, uint32_t, void* userdata) {
        auto* self = static_cast<Impl*>(userdata);
        switch (type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) {
        case PA_SUBSCRIPTION_EVENT_SERVER:
            self->queryServer();  // the default sink may have changed
            break;
        case PA_SUBSCRIPTION_EVENT_SINK:
            self->querySink();
            break;
        case PA_SUBSCRIPTION_EVENT_SINK_INPUT:
            self->querySinkInputs();
            break;
        default:
            break;
        }
    }

    static void unrefOp(pa_operation* op) {
        if (op) pa_operation_unref(op);
    }

    void queryServer() { unrefOp(pa_context_get_server_info(context, &Impl::onServerInfo, this)); }

    static void onServerInfo(pa_context*, const pa_server_info* info, void* userdata) {
        auto* self = static_cast<Impl*>(userdata);
        self->defaultSink = info && info->default_sink_name ? info->default_sink_name : "";
        self->querySink();
    }

    void querySink() {
        if (defaultSink.empty()) {
            std::lock_guard lock(mutex);
            haveSink = false;
            return;
        }
        unrefOp(pa_context_get_sink_info_by_name(context, defaultSink.c_str(), &Impl::onSinkInfo, this));
    }

    static void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
        auto* self = static_cast<Impl*>(userdata);
        if (eol < 0) {  // the default sink vanished between the two queries
            std::lock_guard lock(self->mutex);
            self->haveSink = false;
            return;
        }
        if (eol > 0 || !info) return;
        std::lock_guard lock(self->mutex);
        self->haveSink = true;
        self->muted = info->mute != 0;
        self->maxVolume = pa_cvolume_max(&info->volume);
    }

    void querySinkInputs() {
        collecting.clear();
        unrefOp(pa_context_get_sink_input_info_list(context, &Impl::onSinkInput, this));
    }

    static void onSinkInput(pa_context*, const pa_sink_input_info* info, int eol, void* userdata) {
        auto* self = static_cast<Impl*>(userdata);
        if (eol != 0) {
            std::lock_guard lock(self->mutex);
            if (eol > 0) self->inputs = self->collecting;
            else self->inputs.reset();
            self->collecting.clear();
            return;
        }
        if (!info) return;
        SinkInputInfo entry;
        entry.corked = info->corked != 0;
        if (const char* pid = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID)) {
            char* end = nullptr;
            const long long value = std::strtoll(pid, &end, 10);
            if (end != pid && *end == '\0' && value > 0) entry.pid = value;
        }
        self->collecting.push_back(entry);
    }
};

PulseAudio::PulseAudio() : d(std::make_unique<Impl>()) {
    d->loop = pa_threaded_mainloop_new();
    if (!d->loop) return;
    pa_threaded_mainloop_lock(d->loop);
    d->connect();
    pa_threaded_mainloop_unlock(d->loop);
    if (pa_threaded_mainloop_start(d->loop) < 0) {
        pa_threaded_mainloop_lock(d->loop);
        if (d->context) {
            pa_context_set_state_callback(d->context, nullptr, nullptr);
            pa_context_unref(d->context);
            d->context = nullptr;
        }
        pa_threaded_mainloop_unlock(d->loop);
        pa_threaded_mainloop_free(d->loop);
        d->loop = nullptr;
    }
}

PulseAudio::~PulseAudio() {
    if (!d->loop) return;
    pa_threaded_mainloop_lock(d->loop);
    if (d->retry) {
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(d->loop);
        api->time_free(d->retry);
        d->retry = nullptr;
    }
    if (d->context) {
        pa_context_set_state_callback(d->context, nullptr, nullptr);
        pa_context_set_subscribe_callback(d->context, nullptr, nullptr);
        pa_context_disconnect(d->context);
        pa_context_unref(d->context);
        d->context = nullptr;
    }
    pa_threaded_mainloop_unlock(d->loop);
    pa_threaded_mainloop_stop(d->loop);
    pa_threaded_mainloop_free(d->loop);
}

PulseAudio& PulseAudio::shared() {
    static PulseAudio instance;
    return instance;
}

bool PulseAudio::isOutputSilent() const {
    std::lock_guard lock(d->mutex);
    if (!d->connected || !d->haveSink) return false;
    return outputIsSilent(d->muted, d->maxVolume);
}

std::optional<std::vector<SinkInputInfo>> PulseAudio::sinkInputs() const {
    std::lock_guard lock(d->mutex);
    if (!d->connected) return std::nullopt;
    return d->inputs;
}

bool PulseAudio::isConnected() const {
    std::lock_guard lock(d->mutex);
    return d->connected;
}

}  // namespace corvane
