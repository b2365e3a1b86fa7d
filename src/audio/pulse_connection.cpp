#include "audio/pulse_connection.h"

namespace kinoloop {

std::unique_ptr<PulseConnection> PulseConnection::Connect(const char* clientName, std::string& error) {
    std::unique_ptr<PulseConnection> connection(new PulseConnection);
    connection->loop_ = pa_threaded_mainloop_new();
    if (connection->loop_ == nullptr) {
        error = "Cannot create the sound server connection.";
        return nullptr;
    }
    connection->context_ = pa_context_new(pa_threaded_mainloop_get_api(connection->loop_), clientName);
    if (connection->context_ == nullptr) {
        error = "Cannot create the sound server connection.";
        return nullptr;
    }
    pa_context_set_state_callback(
        connection->context_, [](pa_context*, void* self) { static_cast<PulseConnection*>(self)->Signal(); },
        connection.get());
    if (pa_context_connect(connection->context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(connection->loop_) < 0) {
        error = std::string("No sound server: ") + pa_strerror(pa_context_errno(connection->context_)) + ".";
        return nullptr;
    }
    Lock lock(*connection);
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(connection->context_);
        if (state == PA_CONTEXT_READY) return connection;
        if (!PA_CONTEXT_IS_GOOD(state)) {
            error =
                std::string("No sound server: ") + pa_strerror(pa_context_errno(connection->context_)) + ".";
            return nullptr;  // the destructor stops the loop; the lock is released first
        }
        pa_threaded_mainloop_wait(connection->loop_);
    }
}

PulseConnection::~PulseConnection() {
    if (context_ != nullptr) {
        if (loop_ != nullptr) pa_threaded_mainloop_lock(loop_);
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        if (loop_ != nullptr) pa_threaded_mainloop_unlock(loop_);
    }
    if (loop_ != nullptr) pa_threaded_mainloop_stop(loop_);
    if (context_ != nullptr) pa_context_unref(context_);
    if (loop_ != nullptr) pa_threaded_mainloop_free(loop_);
}

bool PulseConnection::Alive() const {
    Lock lock(*this);
    return pa_context_get_state(context_) == PA_CONTEXT_READY;
}

bool PulseConnection::Wait(pa_operation* operation) const {
    if (operation == nullptr) return false;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) pa_threaded_mainloop_wait(loop_);
    const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
    pa_operation_unref(operation);
    return done;
}

}  // namespace kinoloop
