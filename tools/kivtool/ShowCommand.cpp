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
    object["name"] = Json1252Value(agent.m_name);
    object["description"] = Json1252Value(agent.m_description);
    object["quantity"] = agent.m_quantity;
    object["lastUsed"] = agent.m_lastUsed;
    object["reuseInterval"] = agent.m_reuseInterval;
    object["installScript"] = Json1252Value(agent.m_installScript);
    object["removeScript"] = Json1252Value(agent.m_removeScript);
    JsonValue& scripts = object["scripts"] = JsonValue::array();
    for (const auto& script : agent.m_scripts) {
        scripts.push_back(Json1252Value(script));
    }
    JsonValue& references = object["dependencies"] = JsonValue::array();
    for (std::size_t i = 0; i < agent.m_dependencyCount; ++i) {
        JsonValue& reference = references.emplace_back();
        reference["type"] = CarriedTypeName(agent.m_dependencies[i].type);
        reference["name"] = Json1252Value(agent.m_dependencies[i].name);
    }
    object["picture"]["width"] = agent.m_picture.m_width;
    object["picture"]["height"] = agent.m_picture.m_height;
    object["chunkOffset"] = agent.m_chunkOffset;
    return object;
}

JsonValue JsonFile(const CAgentFile& file) {
    JsonValue object;
    object["path"] = file.m_path;
    JsonValue& agents = object["agents"] = JsonValue::array();
    for (const auto& agent : file.m_agents) {
        agents.push_back(JsonAgent(*agent));
    }
    JsonValue& records = object["files"] = JsonValue::array();
    for (const auto& record : file.m_dependencies) {
        JsonValue& entry = records.emplace_back();
        entry["type"] = CarriedTypeName(record->m_type);
        entry["name"] = Json1252Value(record->m_name);
        entry["size"] = record->m_size;
        entry["dataOffset"] = record->m_dataOffset;
    }
    return object;
}

void PrintAgent(const CAgent& agent, std::size_t number) {
    std::printf("agent %zu: %s\n", number, OneLine(agent.m_name).c_str());
    std::printf("  description: %s\n", OneLine(agent.m_description).c_str());
    if (agent.m_quantity == CAgent::kUnlimited) {
        std::printf("  quantity: unlimited\n");
    } else {
        std::printf("  quantity: %u\n", unsigned{agent.m_quantity});
    }
    std::printf("  last used: %u\n", agent.m_lastUsed);
    std::printf("  reuse interval: %u s\n", agent.m_reuseInterval);
    std::printf("  install script: %s\n", OneLine(agent.m_installScript).c_str());
    std::printf("  remove script: %s\n", OneLine(agent.m_removeScript).c_str());
    for (const auto& script : agent.m_scripts) {
        std::printf("  event script: %s\n", OneLine(script).c_str());
    }
    for (std::size_t i = 0; i < agent.m_dependencyCount; ++i) {
        std::printf("  needs %s: %s\n", CarriedTypeName(agent.m_dependencies[i].type),
                    OneLine(agent.m_dependencies[i].name).c_str());
    }
    std::printf("  picture: %ux%u\n", agent.m_picture.m_width, agent.m_picture.m_height);
    std::printf("  chunk offset: %u\n", agent.m_chunkOffset);
}

void PrintFile(const CAgentFile& file) {
    std::printf("%s\n", file.m_path.c_str());
    for (std::size_t i = 0; i < file.m_agents.size(); ++i) {
        PrintAgent(*file.m_agents[i], i + 1);
    }
    for (const auto& record : file.m_dependencies) {
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
