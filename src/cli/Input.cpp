// SPDX-License-Identifier: MIT
#include "cli/Input.h"

#include "cli/Args.h"
#include "model/ProjectFile.h"
#include "model/TextTable.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vellisto::cli {

namespace {

    // Refuses paths that no reader can use, with one line naming the problem.
    bool CheckInputPath(const std::string& path)
    {
        namespace fs = std::filesystem;
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        const char* problem = nullptr;
        if (!fs::exists(status))
            problem = "no such file";
        else if (fs::is_directory(status))
            problem = "is a directory";
        else if (!fs::is_regular_file(status))
            problem = "is not a regular file";
        else if (fs::file_size(path, error) == 0 && !error)
            problem = "is an empty file";
        if (problem == nullptr)
            return true;
        std::fprintf(stderr, "vellisto-cli: %s: %s\n", path.c_str(), problem);
        return false;
    }

    std::unique_ptr<Project> ReadProjectInput(const std::string& path)
    {
        auto project = CreateProject();
        if (!project) {
            Failure(Text(TextId::kOutOfMemory));
            return nullptr;
        }
        ProjectReadError error;
        if (!ReadProjectFile(path, *project, &error)) {
            Failure(
                Text(TextId::kFailedLoadingProject), path + ": " + DescribeProjectReadError(error));
            return nullptr;
        }
        return project;
    }

} // namespace

std::unique_ptr<Project> OpenInput(const std::string& path)
{
    if (!CheckInputPath(path))
        return nullptr;
    // Every name that no importer claims is read as a project file.
    return ReadProjectInput(path);
}

} // namespace vellisto::cli
