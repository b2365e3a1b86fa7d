#pragma once
// A key grabbed on the X root window, so that it fires whichever window has the focus (the embedded simulator's
// included). Grabbed for the modifier sets none, Lock, Mod2 and Lock+Mod2, so that Caps Lock and Num Lock do not
// hide it.
#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <cstdint>

namespace kinoloop {

class GlobalHotKey : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // keysym: an X keysym (0xFFC6 is F9).
    explicit GlobalHotKey(std::uint32_t keysym, QObject* parent = nullptr);
    ~GlobalHotKey() override;

    // Grabs the key; false with ErrorText() when there is no X connection, the key has no code, or another
    // client holds the grab (BadAccess).
    bool Register();
    void Unregister();
    bool Registered() const { return registered_; }
    QString ErrorText() const { return error_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    static constexpr std::uint32_t kF9 = 0xFFC6;

signals:
    void activated();

private:
    std::uint32_t keysym_;
    std::uint8_t keycode_ = 0;
    bool registered_ = false;
    QString error_;
};

}  // namespace kinoloop
