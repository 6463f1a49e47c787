#include "tools/kivtool/ShowCommand.h"

#include "agents/AgentFile.h"
#include "core/KitException.h"
#include "tools/kivtool/JsonText.h"
#include "tools/kivtool/ToolSupport.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool show [--json] FILE...\n"
    "Prints every agent and carried file of each agent file. With --json, prints one\n"
    "JSON array holding an object per readable file. A file that cannot be read is\n"
    "reported on standard error; the exit status is then 1.\n";

// Each document is filled one member at a time: nested initializer lists would compile to
// hundreds of clean-up paths that only an allocation failure could take.
JsonValue JsonAgent(const CAgent& agent) {
    JsonValue object;
    object["name"] = Json1252Value(agent.Name());
    object["description"] = Json1252Value(agent.Description());
    object["quantity"] = agent.Usage().quantity;
    object["lastUsed"] = agent.Usage().lastUsed;
    object["reuseInterval"] = agent.ReuseInterval();
    object["installScript"] = Json1252Value(agent.InstallScript());
    object["removeScript"] = Json1252Value(agent.RemoveScript());
    JsonValue& scripts = object["scripts"] = JsonValue::array();
    for (const auto& script : agent.Scripts()) {
        scripts.push_back(Json1252Value(script));
    }
    JsonValue& references = object["dependencies"] = JsonValue::array();
    for (const auto& dependency : agent.Dependencies()) {
        JsonValue& reference = references.emplace_back();
        reference["type"] = CarriedTypeName(dependency.type);
        reference["name"] = Json1252Value(dependency.name);
    }
    object["picture"]["width"] = agent.ListedPicture().Width();
    object["picture"]["height"] = agent.ListedPicture().Height();
    object["chunkOffset"] = agent.Place().offset;
    return object;
}

JsonValue JsonFile(const CAgentFile& file) {
    JsonValue object;
    object["path"] = file.Path();
    JsonValue& agents = object["agents"] = JsonValue::array();
    for (const auto& agent : file.Agents()) {
        agents.push_back(JsonAgent(*agent));
    }
    JsonValue& records = object["files"] = JsonValue::array();
    for (const auto& record : file.CarriedFiles()) {
        JsonValue& entry = records.emplace_back();
        entry["type"] = CarriedTypeName(record->m_type);
        entry["name"] = Json1252Value(record->m_name);
        entry["size"] = record->m_size;
        entry["dataOffset"] = record->m_dataOffset;
    }
    return object;
}

void PrintAgent(const CAgent& agent, std::size_t number) {
    std::printf("agent %zu: %s\n", number, OneLine(agent.Name()).c_str());
    std::printf("  description: %s\n", OneLine(agent.Description()).c_str());
    if (agent.Usage().quantity == CAgent::kUnlimited) {
        std::printf("  quantity: unlimited\n");
    } else {
        std::printf("  quantity: %u\n", unsigned{agent.Usage().quantity});
    }
    std::printf("  last used: %u\n", agent.Usage().lastUsed);
    std::printf("  reuse interval: %u s\n", agent.ReuseInterval());
    std::printf("  install script: %s\n", OneLine(agent.InstallScript()).c_str());
    std::printf("  remove script: %s\n", OneLine(agent.RemoveScript()).c_str());
    for (const auto& script : agent.Scripts()) {
        std::printf("  event script: %s\n", OneLine(script).c_str());
    }
    for (const auto& dependency : agent.Dependencies()) {
        std::printf("  needs %s: %s\n", CarriedTypeName(dependency.type),
                    OneLine(dependency.name).c_str());
    }
    std::printf("  picture: %ux%u\n", agent.ListedPicture().Width(),
                agent.ListedPicture().Height());
    std::printf("  chunk offset: %u\n", agent.Place().offset);
}

void PrintFile(const CAgentFile& file) {
    std::printf("%s\n", file.Path().c_str());
    for (std::size_t i = 0; i < file.Agents().size(); ++i) {
        PrintAgent(*file.Agents()[i], i + 1);
    }
    for (const auto& record : file.CarriedFiles()) {
        std::printf("carried %s: %s, %u bytes at offset %u\n", CarriedTypeName(record->m_type),
                    OneLine(record->m_name).c_str(), record->m_size, record->m_dataOffset);
    }
}

} // namespace

int RunShowCommand(int argc, char** argv) {
    JsonOperands operands;
    if (const auto done = ReadJsonOperands(argc, argv, kUsage, operands)) {
        return *done;
    }
    const auto [json, first] = operands;
    int status = kExitOk;
    JsonValue objects = JsonValue::array();
    for (int i = first; i < argc; ++i) {
        try {
            const CAgentFile file(argv[i]);
            if (json) {
                objects.push_back(JsonFile(file));
            } else {
                PrintFile(file);
            }
        } catch (const CKitException& error) {
            PrintError(error);
            status = kExitFailure;
        }
    }
    if (json) {
        PrintJsonLines(objects);
    }
    return status;
}
