#pragma once
// Name-keyed, reference-counted sharing of expensive resources: a texture file
// named by two scenes is decoded once, a render buffer asked for under one
// name by several effects is made once, a scene file opened twice is parsed
// once.
//
// One generic manager serves every resource type. A concrete manager derives
// from ResourceManager<itself, resource type>, adds its get-or-create
// factories on top of getOrCreate, and is a process-wide singleton
// (getInstance creates it on first use, deleteInstance deletes it):
//
//     class SceneManager : public ResourceManager<SceneManager, Scene> {};
//
// The manager owns every registered resource. Callers hold plain pointers and
// give them back with release; a resource is deleted (with `delete`, so its
// destructor must free everything it holds) only by the manager: when its
// count falls to 0, in releaseAll, or when the manager goes. Names are
// compared as exact byte strings; iteration, and so the dump, follows
// ascending byte order (a prefix sorts first).
//
// Single-threaded, on the thread that owns the GL context: creating and
// deleting resources issues GL calls.

#include <cstdio>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <utility>

template <class T>
struct ResourceEntry {
    T* resource = nullptr; // never none once registered
    int refCount = 0;
};

template <class Derived, class T>
class ResourceManager {
public:
    // The manager, created on first call; none if it could not be allocated.
    static Derived* getInstance()
    {
        if (!instance)
            instance = new (std::nothrow) Derived;
        return instance;
    }

    // Deletes the manager, and with it every resource still registered.
    static void deleteInstance()
    {
        delete instance;
        instance = nullptr;
    }

    virtual ~ResourceManager() { releaseAll(); }

    // Registers `resource` under `name` with a count of 1, or adds 1 to the
    // count when the name already holds this very resource. Returns 0, or 1
    // (changing nothing, the caller keeping ownership) for no resource, a name
    // that holds another resource, or a resource registered under another name.
    int add(const char* name, T* resource)
    {
        if (!resource || !name)
            return 1;
        auto it = entries.find(name);
        if (it != entries.end()) {
            if (it->second.resource != resource)
                return 1;
            ++it->second.refCount;
            return 0;
        }
        // One resource under two names would be deleted twice.
        for (const auto& [key, entry] : entries)
            if (entry.resource == resource)
                return 1;
        entries.emplace(name, ResourceEntry<T>{resource, 1});
        return 0;
    }

    // The resource under `name` with 1 added to its count, or none (creating
    // nothing).
    T* find(const char* name)
    {
        if (!name)
            return nullptr;
        auto it = entries.find(name);
        if (it == entries.end())
            return nullptr;
        ++it->second.refCount;
        return it->second.resource;
    }

    // Gives back one reference; at 0 the resource is deleted and its entry
    // removed. An unregistered resource is ignored. Returns 1 for no
    // resource, else 0.
    int release(T* resource)
    {
        if (!resource)
            return 1;
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->second.resource != resource)
                continue;
            if (--it->second.refCount <= 0) {
                entries.erase(it);
                delete resource;
            }
            break;
        }
        return 0;
    }

    // Deletes every registered resource whatever its count. Returns 0.
    int releaseAll()
    {
        // Emptied first, so that a resource whose destruction gives back
        // other resources finds a consistent manager.
        std::map<std::string, ResourceEntry<T>, std::less<>> doomed;
        doomed.swap(entries);
        for (auto& [name, entry] : doomed)
            delete entry.resource;
        return 0;
    }

    // Writes one line per resource in name order,
    // "Resource: <name>, RefCount: <count>", replacing the file. A file that
    // cannot be opened is skipped silently. Returns 0.
    int dump(const char* fileName)
    {
        std::FILE* file = std::fopen(fileName, "w");
        if (!file)
            return 0;
        for (const auto& [name, entry] : entries) {
            std::fprintf(file, "Resource: %s, RefCount: %d\n", name.c_str(), entry.refCount);
            std::fflush(file);
        }
        std::fclose(file);
        return 0;
    }

    // Number of registered names.
    size_t size() const { return entries.size(); }
    // The count under `name`, 0 when it is not registered.
    int refCount(const char* name) const
    {
        auto it = entries.find(name);
        return it == entries.end() ? 0 : it->second.refCount;
    }

protected:
    ResourceManager() = default;

    // The registered resource (1 added to its count), or else a new one from
    // `create` registered with a count of 1. A factory that yields none
    // registers nothing and none is returned.
    template <class Create>
    T* getOrCreate(const char* name, Create&& create)
    {
        if (T* found = find(name))
            return found;
        T* made = std::forward<Create>(create)();
        if (!made)
            return nullptr;
        if (add(name, made) != 0) {
            delete made;
            return nullptr;
        }
        return made;
    }

private:
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // std::string orders by unsigned byte comparison, as the dump needs.
    std::map<std::string, ResourceEntry<T>, std::less<>> entries;
    static inline Derived* instance = nullptr;
};
