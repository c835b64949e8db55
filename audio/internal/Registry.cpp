#include "audio/internal/Registry.h"

#include "audio/include/bass.h"

#include <mutex>
#include <unordered_map>

namespace corvanel::audio {
namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<uint32_t, std::shared_ptr<HandleObject>> objects;
    uint32_t next = 0;
};

Table& table() {
    static Table instance;
    return instance;
}

thread_local int threadError = BASS_OK;

} // namespace

uint32_t registerObject(std::shared_ptr<HandleObject> object) {
    if (!object)
        return 0;
    Table& t = table();
    std::lock_guard guard(t.lock);
    do {
        ++t.next;
    } while (t.next == 0 || t.objects.count(t.next) != 0);
    t.objects.emplace(t.next, std::move(object));
    return t.next;
}

std::shared_ptr<HandleObject> lookupObject(uint32_t handle) {
    if (handle == 0)
        return nullptr;
    Table& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.objects.find(handle);
    return it == t.objects.end() ? nullptr : it->second;
}

bool releaseHandle(uint32_t handle) {
    std::shared_ptr<HandleObject> object;
    {
        Table& t = table();
        std::lock_guard guard(t.lock);
        auto it = t.objects.find(handle);
        if (it == t.objects.end())
            return false;
        object = std::move(it->second);
        t.objects.erase(it);
    }
    object->onRelease();
    return true;
}

std::vector<std::pair<uint32_t, std::shared_ptr<HandleObject>>> takeAllObjects() {
    Table& t = table();
    std::lock_guard guard(t.lock);
    std::vector<std::pair<uint32_t, std::shared_ptr<HandleObject>>> all(t.objects.begin(),
                                                                        t.objects.end());
    t.objects.clear();
    return all;
}

void setError(int code) {
    threadError = code;
}
int lastError() {
    return threadError;
}

} // namespace corvanel::audio
