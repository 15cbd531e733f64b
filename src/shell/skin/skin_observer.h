#pragma once
// The program-wide skin observer: windows that show the chosen background subscribe, and
// the skin frame broadcasts each choice to them. UI thread only.

#include <QString>
#include <QtGlobal>
#include <vector>

namespace rerov::shell {

/// A background choice: a colour (`isColour`, `colour` 0xAARRGGBB) or an image (`image`, a
/// file of the skin folder or an absolute path).
struct SkinChangedParam {
    bool isColour = false;
    quint32 colour = 0;
    QString image;

    bool operator==(const SkinChangedParam&) const = default;
};

/// A window that follows background choices. It leaves the observer by itself when it is
/// destroyed, so the observer never holds a dangling receiver.
class SkinReceiver {
  public:
    virtual ~SkinReceiver();
    /// A background was chosen (called by SkinObserver::Broadcast, on the UI thread).
    virtual void OnSkinChanged(const SkinChangedParam& param) = 0;

  protected:
    SkinReceiver() = default;
    SkinReceiver(const SkinReceiver&) = delete;
    SkinReceiver& operator=(const SkinReceiver&) = delete;
};

/// The receivers of background choices, in the order they subscribed.
class SkinObserver {
  public:
    /// The one observer of the program, made on first use.
    static SkinObserver& Instance();

    /// Subscribes `receiver` (once; a second add does nothing).
    void AddReceiver(SkinReceiver* receiver);
    /// Unsubscribes `receiver`; nothing when it is not subscribed. Safe during a broadcast.
    void RemoveReceiver(SkinReceiver* receiver);
    /// Hands `param` to every receiver in subscription order. A receiver removed during the
    /// broadcast gets nothing more; one added during it waits for the next broadcast.
    void Broadcast(const SkinChangedParam& param);
    /// Whether `receiver` is subscribed.
    bool IsSubscribed(const SkinReceiver* receiver) const;

  private:
    std::vector<SkinReceiver*> receivers_;
};

}  // namespace rerov::shell
