#pragma once

#include <map>

#include "COptions.h"
#include "CParamTable.h"
#include "SDeviceState.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace devsim {

// Turns the command line and the fleet file into device states: generated identities
// (address, MAC, serial, model), the parameter table of the model family and the default
// applications and SD cards.
class CFleetBuilder
{
public:
    explicit CFleetBuilder(const COptions& options) : m_options(options) {}

    bool loadTables(const std::string& programPath, std::string* error);
    bool build(std::vector<SDeviceState>* devices, std::string* error);
    // One more device described by JSON (the control interface's "add"); without "ip" it
    // takes `fallbackAddress`.
    bool makeDevice(const nlohmann::json& description, int index, uint32_t fallbackAddress,
                    SDeviceState* state, std::string* error) const;

private:
    SDeviceState makeDefault(int index, uint32_t address, bool recorder, int modelTurn) const;
    // Lays the parameters of "camera-params-<model>.txt" (the full model name, else its
    // six-character family) over a camera's table.
    void applyModelParams(const std::string& model, CParamTable* params) const;

    const COptions& m_options;
    CParamTable m_cameraTable;
    CParamTable m_recorderTable;
    std::map<std::string, CParamTable> m_modelTables;
};

} // namespace devsim
