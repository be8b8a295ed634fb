#pragma once

#include <wx/event.h>

#include <functional>
#include <vector>

// Binds handlers and remembers how to unbind each: a window drops every
// binding first thing when it is destroyed, while all its controls still
// exist, so no handler runs on a window that is being taken apart.
class EventBindings {
public:
    EventBindings() = default;
    EventBindings(const EventBindings&) = delete;
    EventBindings& operator=(const EventBindings&) = delete;
    ~EventBindings() { UnbindAll(); }

    // source->Bind(type, method, handler, id, lastId), undone by UnbindAll.
    template <typename EventTag, typename Class, typename EventArg, typename Handler>
    void Bind(wxEvtHandler* source, const EventTag& type, void (Class::*method)(EventArg&), Handler* handler,
              int id = wxID_ANY, int lastId = wxID_ANY) {
        source->Bind(type, method, handler, id, lastId);
        unbind_.push_back([=] { source->Unbind(type, method, handler, id, lastId); });
    }

    // Undoes every binding, the last made first.
    void UnbindAll() {
        for (auto unbind = unbind_.rbegin(); unbind != unbind_.rend(); ++unbind) (*unbind)();
        unbind_.clear();
    }

private:
    std::vector<std::function<void()>> unbind_;
};
