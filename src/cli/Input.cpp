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

    bool PathProblem(const std::string& path, const char* problem)
    {
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

bool CheckInputPath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status))
        return PathProblem(path, "no such file");
    if (fs::is_directory(status))
        return PathProblem(path, "is a directory");
    if (!fs::is_regular_file(status))
        return PathProblem(path, "is not a regular file");
    if (fs::file_size(path, error) == 0 && !error)
        return PathProblem(path, "is an empty file");
    return true;
}

bool CheckOutputPath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status))
        return true; // created by the write
    if (fs::is_directory(status))
        return PathProblem(path, "is a directory");
    if (!fs::is_regular_file(status))
        return PathProblem(path, "is not a regular file");
    return true;
}

std::unique_ptr<Project> OpenInput(const std::string& path)
{
    if (!CheckInputPath(path))
        return nullptr;
    // Every name that no importer claims is read as a project file.
    return ReadProjectInput(path);
}

} // namespace vellisto::cli
