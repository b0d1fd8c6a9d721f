#pragma once
// The observer list every subject of the console uses (display model, traffic log, calibration
// recorder, connection control, settings editor, action set).
//
// A view subscribes once and keeps the returned Subscription as a member; when the view goes, the
// subscription goes and takes the view off the list. Nothing has to be destroyed in a particular
// order:
//   - the subject may go first: its registry is shared with the subscriptions only weakly, so a
//     subscription that outlives its subject finds the registry gone and does nothing;
//   - an observer may leave (itself or another one) while it is being notified: its entry is
//     emptied, not erased, so the running loop neither skips nor calls it; empty entries are
//     dropped once the outermost notification has returned;
//   - an observer may join while it is being notified: the running loop only visits the entries
//     that were there when it began, so the newcomer hears the next notification;
//   - a notification may start another one (nested); each loop keeps its own bounds.
// The subject must not be destroyed by one of its own observers during a notification.
// Single-threaded, like the windows that observe.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace rv {

namespace observer_detail {

// The observers of one subject, shared by the subject (strongly) and its subscriptions (weakly).
struct Registry {
    struct Entry {
        std::uint64_t id;
        void* observer;  // nullptr once it left during a notification
    };

    std::vector<Entry> entries;
    std::uint64_t nextId = 1;
    int depth = 0;          // notifications running now (more than one when nested)
    bool hasHoles = false;  // an observer left while a notification ran

    void Remove(std::uint64_t id) {
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->id != id) continue;
            if (depth > 0) {
                it->observer = nullptr;  // a running loop still counts on the positions
                hasHoles = true;
            } else {
                entries.erase(it);
            }
            return;
        }
    }

    void DropHoles() {
        std::erase_if(entries, [](const Entry& e) { return e.observer == nullptr; });
        hasHoles = false;
    }
};

}  // namespace observer_detail

// One observer's place on one subject's list. Move-only; leaves the list when destroyed, when
// Reset() is called or when another subscription is moved into it. A default-made subscription
// holds nothing.
class [[nodiscard]] Subscription {
  public:
    Subscription() = default;
    Subscription(Subscription&& other) noexcept
        : registry_(std::move(other.registry_)), id_(std::exchange(other.id_, 0)) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            Reset();
            registry_ = std::move(other.registry_);
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { Reset(); }

    // Leaves the list now (nothing when the subject has already gone).
    void Reset() {
        if (auto registry = registry_.lock()) registry->Remove(id_);
        registry_.reset();
        id_ = 0;
    }
    // Whether the observer is on a list that still exists.
    bool Active() const { return !registry_.expired(); }

  private:
    template <typename T>
    friend class ObserverList;
    Subscription(std::weak_ptr<observer_detail::Registry> registry, std::uint64_t id)
        : registry_(std::move(registry)), id_(id) {}

    std::weak_ptr<observer_detail::Registry> registry_;
    std::uint64_t id_ = 0;
};

// The observers of one subject, notified in the order they subscribed.
template <typename T>
class ObserverList {
  public:
    ObserverList() : registry_(std::make_shared<observer_detail::Registry>()) {}
    ObserverList(const ObserverList&) = delete;
    ObserverList& operator=(const ObserverList&) = delete;

    Subscription Subscribe(T& observer) {
        const std::uint64_t id = registry_->nextId++;
        registry_->entries.push_back({id, static_cast<void*>(&observer)});
        return Subscription(registry_, id);
    }

    // Calls `f` for every observer: a member function of T with `args`
    // (Notify(&DisplayObserver::FieldChanged, field)) or anything callable with (T&, args...).
    template <typename F, typename... Args>
    void Notify(F&& f, const Args&... args) {
        observer_detail::Registry& r = *registry_;
        // A subject nobody watches (a console without its window) has nothing to visit and no
        // holes to drop.
        if (r.entries.empty()) return;
        const Round round(r);
        // By index and with the count fixed now: a join may reallocate the vector and must not
        // be visited in this round; a leave only empties its entry.
        const std::size_t count = r.entries.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (void* o = r.entries[i].observer) std::invoke(f, *static_cast<T*>(o), args...);
        }
    }

    // Observers subscribed now.
    std::size_t Count() const {
        std::size_t n = 0;
        for (const auto& entry : registry_->entries) n += entry.observer != nullptr;
        return n;
    }

  private:
    // Marks a running notification; the outermost one drops the entries emptied meanwhile, also
    // when an observer throws.
    class Round {
      public:
        explicit Round(observer_detail::Registry& r) : r_(r) { ++r_.depth; }
        ~Round() {
            if (--r_.depth == 0 && r_.hasHoles) r_.DropHoles();
        }
        Round(const Round&) = delete;
        Round& operator=(const Round&) = delete;

      private:
        observer_detail::Registry& r_;
    };

    std::shared_ptr<observer_detail::Registry> registry_;
};

}  // namespace rv
