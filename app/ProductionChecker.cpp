#include "app/ProductionChecker.h"

#include "app/DemoEffects.h"
#include "app/ProductionCheck.h"
#include "app/ProductionPaths.h"
#include "effects/EffectSwitcher.h"
#include "effects/ImageLayer.h"
#include "effects/RenderTargetLayer.h"
#include "effects/Tree.h"
#include "effects/TreeParameters.h"
#include "engine/Script.h"
#include "engine/VFileScriptSource.h"
#include "gl/Image.h"
#include "gl/ImageLookup.h"
#include "gl/Texture.h"
#include "gl/TextureManager.h"
#include "platform/OggDecoder.h"
#include "resources/FileSnapshot.h"
#include "resources/VFile.h"
#include "scene/Scene.h"
#include "scene/SceneErrors.h"
#include "scene/SceneManager.h"
#include "scene/SceneReader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace {

constexpr int kLayerCount = 16;
// Where scene players look for their textures; names in the scene files are
// cut to the part after the last backslash, as in a run.
constexpr const char* kTextureDirectory = "data/textures/";

class Checker {
public:
    std::vector<CheckMessage> messages;

    void report(const ScriptEvent& event, bool error, const std::string& text)
    {
        messages.push_back({event.file ? event.file : "", event.line, error, text});
    }
    void report(const std::string& file, int line, bool error, const std::string& text)
    {
        messages.push_back({file, line, error, text});
    }

    void checkEvents(const Script& script, const char* scriptPath);
    void checkFiles(const char* soundtrack);

private:
    const DemoEffects::Entry* entryFor(int id) const;
    bool signalKnown(const DemoEffects::Entry& entry, int code) const;
    const SignalInfo* signalInfo(const DemoEffects::Entry& entry, int code) const;
    void noteFile(const ScriptEvent& event, const SignalInfo& info);
    void checkScene(const std::string& name, const ScriptEvent& at);
    void checkPicture(const std::string& name, const ScriptEvent& at);
    void checkTreeFile(const std::string& name, const ScriptEvent& at);

    // Files named by the script, each checked once at the first event naming it.
    std::map<std::string, const ScriptEvent*> scenes, pictures, treeFiles;
};

const DemoEffects::Entry* Checker::entryFor(int id) const
{
    int count = 0;
    const DemoEffects::Entry* table = DemoEffects::table(count);
    for (int i = 0; i < count; ++i)
        if (table[i].id == id)
            return &table[i];
    return nullptr;
}

const SignalInfo* Checker::signalInfo(const DemoEffects::Entry& entry, int code) const
{
    if (!entry.signals)
        return nullptr;
    if (const SignalInfo* info = entry.signals().find(code))
        return info;
    // The switcher hands every signal to its selected image layer, which
    // loads the pictures.
    if (entry.signals == &EffectSwitcher::signals)
        return ImageLayer::signals().find(code);
    return nullptr;
}

bool Checker::signalKnown(const DemoEffects::Entry& entry, int code) const
{
    if (entry.signals && entry.signals().handles(code))
        return true;
    // Drawn through the render target, the effect also takes its wrapper's codes.
    return entry.wrapped && RenderTargetLayer::signals().handles(code);
}

void Checker::noteFile(const ScriptEvent& event, const SignalInfo& info)
{
    const char* text = event.args.text;
    if (!text || !text[0] || event.args.count > 0)
        return;
    if (std::strcmp(info.arguments, "SCENE") == 0)
        scenes.emplace(text, &event);
    else if (std::strcmp(info.arguments, "PICTURE") == 0)
        pictures.emplace(text, &event);
    else if (std::strcmp(info.arguments, "TREEFILE") == 0)
        treeFiles.emplace(text, &event);
}

void Checker::checkEvents(const Script& script, const char* scriptPath)
{
    std::set<int> onLayer;   // ids given a layer anywhere
    std::set<int> sources;   // ids another effect reads from (signal 70)
    std::map<int, const ScriptEvent*> started; // first START of each id

    const ScriptEvent* endDemo = nullptr;
    auto visit = [&](const ScriptEvent& event) {
        if (event.type == EventType::EndDemo) {
            if (!endDemo)
                endDemo = &event;
            return;
        }
        if (endDemo && event.time > endDemo->time)
            report(event, false, "event after END_DEMO (at " + std::to_string(endDemo->time) + " ms) never happens");
        const DemoEffects::Entry* entry = entryFor(event.effectId);
        if (!entry) {
            report(event, true, "effect id " + std::to_string(event.effectId) + " is not registered");
            return;
        }
        switch (event.type) {
        case EventType::SetLayer:
            if (event.args.code < 0 || event.args.code >= kLayerCount)
                report(event, true, "layer " + std::to_string(event.args.code) + " is outside 0-15");
            else
                onLayer.insert(event.effectId);
            break;
        case EventType::Start:
            started.emplace(event.effectId, &event);
            break;
        case EventType::Signal: {
            if (!signalKnown(*entry, event.args.code)) {
                report(event, true,
                       "effect " + std::to_string(event.effectId) + " does not handle signal " +
                           std::to_string(event.args.code));
                break;
            }
            if (event.args.code == 70 && event.args.count > 0)
                sources.insert(event.args.args[0]);
            if (const SignalInfo* info = signalInfo(*entry, event.args.code))
                noteFile(event, *info);
            break;
        }
        default:
            break;
        }
    };
    for (const ScriptEvent* event : script.setupEvents())
        visit(*event);
    for (const ScriptEvent* event : script.timeline())
        visit(*event);

    if (!endDemo)
        report(scriptPath, 0, true, "the timeline has no END_DEMO: the demo never ends");
    else if (endDemo->time <= script.demoStart())
        // The run would end before its first frame, and a watched save like
        // that must not end the session: refused here, the last good build plays on.
        report(*endDemo, true,
               "END_DEMO at " + std::to_string(endDemo->time) + " ms is at or before the demo start (" +
                   std::to_string(script.demoStart()) + " ms): nothing would play");
    for (const auto& [id, event] : started)
        if (!onLayer.count(id) && !sources.count(id))
            report(*event, false, "effect " + std::to_string(id) + " is started but never put on a layer");
}

void Checker::checkScene(const std::string& name, const ScriptEvent& at)
{
    const DemoEffects::Entry* entry = entryFor(at.effectId);
    const bool treeScene = entry && entry->signals == &Tree::signals;
    SceneReader reader;
    Scene* scene = reader.load(name.c_str(), kTextureDirectory);
    if (!scene) {
        std::string why = lastSceneError();
        while (!why.empty() && why.back() == '\n')
            why.pop_back();
        // Scenes name their textures by file name alone: say where one was looked for.
        const std::string texture = "could not load texture ";
        const size_t cut = why.rfind(texture);
        if (cut != std::string::npos && why.find(' ', cut + texture.size()) == std::string::npos)
            why += std::string(" (looked up as ") + kTextureDirectory + why.substr(cut + texture.size()) + ")";
        report(at, true, "could not load scene " + name + (why.empty() ? "" : ": " + why));
        return;
    }
    // What a run would stop at once the scene is drawn or grown on.
    if (!scene->getCurrentCamera())
        report(at, true, "no camera in scene " + name);
    else if (!scene->getObjects())
        report(at, true, "no objects in scene " + name);
    else if (treeScene && !scene->findByName(Tree::kFirstSphere))
        report(at, true, std::string("no object ") + Tree::kFirstSphere + " for the tree in scene " + name);
    SceneManager::getInstance()->release(scene);
}

void Checker::checkPicture(const std::string& name, const ScriptEvent& at)
{
    std::unique_ptr<Image> image(loadImage(name.c_str(), ""));
    if (!image)
        report(at, true, "could not load picture " + name + ": " + explainPictureFailure(name.c_str()));
}

void Checker::checkTreeFile(const std::string& name, const ScriptEvent& at)
{
    VFile file;
    if (!vfopen(name.c_str(), &file)) {
        report(at, true, "could not open tree file " + name);
        return;
    }
    TreeParameters parameters;
    readTreeParameters(file, parameters);
}

void Checker::checkFiles(const char* soundtrack)
{
    // Scene players load their textures while the scene is read: a texture
    // that is missing or broken fails the scene, with the reader's message.
    setSceneErrorsRecoverable(true);
    Texture::setDecodeOnly(true);
    for (const auto& [name, event] : scenes)
        checkScene(name, *event);
    Texture::setDecodeOnly(false);
    setSceneErrorsRecoverable(false);
    for (const auto& [name, event] : pictures)
        checkPicture(name, *event);
    // A tree player reads the engine's own parameter file once its scene is in.
    for (const auto& [name, event] : scenes) {
        const DemoEffects::Entry* entry = entryFor(event->effectId);
        if (entry && entry->signals == &Tree::signals)
            treeFiles.emplace(Tree::kParameterFile, event);
    }
    for (const auto& [name, event] : treeFiles)
        checkTreeFile(name, *event);
    if (soundtrack && soundtrack[0]) {
        platform::DecodedSound sound;
        if (!platform::decodeOggVorbis(soundtrack, 0, 1, sound))
            report(soundtrack, 0, true, "the soundtrack is missing or not Ogg Vorbis");
    }
    TextureManager::getInstance()->releaseAll();
    SceneManager::getInstance()->releaseAll();
}

} // namespace

std::string formatCheckMessage(const CheckMessage& m)
{
    std::string out = m.file;
    if (m.line > 0)
        out += ":" + std::to_string(m.line);
    out += m.note ? ": note: " : m.error ? ": error: " : ": warning: ";
    out += m.text;
    return out;
}

bool hasErrors(const std::vector<CheckMessage>& messages)
{
    for (const CheckMessage& m : messages)
        if (m.error)
            return true;
    return false;
}

std::vector<CheckMessage> checkProduction(const char* scriptPath, const char* soundtrack)
{
    Checker checker;
    VFileScriptSource source;
    Script script(scriptPath, source, Script::ErrorMode::Report);
    if (!script.ok()) {
        const std::string& file = script.errorFile().empty() ? std::string(scriptPath) : script.errorFile();
        checker.report(file, script.errorLine(), true, script.errorText());
    } else {
        checker.checkEvents(script, scriptPath);
        checker.checkFiles(soundtrack);
    }
    // After the messages they explain when at the same line.
    for (const ScriptNote& note : script.notes())
        checker.messages.push_back({note.file, note.line, false, note.text, true});
    // In the order of the files' lines, as an editor lists them.
    std::stable_sort(checker.messages.begin(), checker.messages.end(),
                     [](const CheckMessage& a, const CheckMessage& b) {
                         return a.file != b.file ? a.file < b.file : a.line < b.line;
                     });
    return checker.messages;
}

int runProductionCheck(bool loose, const ProductionNames& names, bool soundtrack)
{
    // The check is for a shell or an editor: messages, never boxes.
    setenv("VP_NO_DIALOGS", "1", 1);
    reportMissingProduction({names.archive.c_str(), kLooseDataDir, names.music.c_str()}, loose, soundtrack);
    if (!loose)
        vfsetarchive(names.archive.c_str(), names.password.c_str());
    SceneReader::setTextureNamesVerbatim(false);
    // Live reload builds from exactly the files this check read, not from a
    // disk that may have changed since: it asks for them in a file.
    const char* snapshotPath = std::getenv(kCheckSnapshotVariable);
    FileSnapshot record;
    if (snapshotPath && snapshotPath[0])
        vfsetrecord(&record);
    const std::vector<CheckMessage> messages = checkProduction(kScriptPath, soundtrack ? names.music.c_str() : "");
    vfsetrecord(nullptr);
    if (snapshotPath && snapshotPath[0] && !record.save(snapshotPath))
        std::fprintf(stderr, "error: cannot write %s\n", snapshotPath);
    int errors = 0;
    int warnings = 0;
    for (const CheckMessage& m : messages) {
        std::fprintf(stderr, "%s\n", formatCheckMessage(m).c_str());
        errors += m.error && !m.note ? 1 : 0;
        warnings += !m.error && !m.note ? 1 : 0;
    }
    std::printf("%d error%s, %d warning%s\n", errors, errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s");
    return errors > 0 ? 1 : 0;
}
