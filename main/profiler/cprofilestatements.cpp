#include "main/profiler/cprofilestatements.h"

#include "platform/octavequote.h"

const char* const CProfileStatements::kDataFile = "prof_Hierarchical.txt";
const char* const CProfileStatements::kCleanFile = "prof_Hierarc_clean.txt";

std::string CProfileStatements::CodeEndMarker()
{
    return "function DispFunctionProfilingEnd(), disp('__FunctioProfilingEnd__'); end, DispFunctionProfilingEnd();";
}

std::string CProfileStatements::FileReadyMarker()
{
    return "function DispProfilingFileReady(), disp('__ProfilingFileReady__'); end, DispProfilingFileReady();";
}

std::string CProfileStatements::DumpScript(const std::string& dataPath)
{
    std::string quoted;
    if (!OctaveQuote(dataPath, quoted))
        return std::string();
    // fn_structdisp opens the file and walks the whole structure through
    // rec_structdisp, which writes one record per structure it visits:
    // path<|>payload<#>. Small numeric matrices met on the way are printed,
    // not written.
    return "function fn_structdisp(Xname), if ischar(Xname), X = evalin('caller',Xname);,else, X = Xname; Xname = ''; "
           "end,fid_prof=fopen("
           + quoted
           + ", 'w'); rec_structdisp(Xname,X,fid_prof); fclose(fid_prof); end, "
             "function rec_structdisp(Xname,X,fid), ARRAYMAXROWS = 10; "
             "ARRAYMAXCOLS = 10;  ARRAYMAXELEMS = 30; CELLMAXROWS = 10; CELLMAXCOLS = 10; CELLMAXELEMS = 30; "
             "CELLRECURSIVE = true; "
             "fputs(fid, [Xname '<|>']); if isfield(X,'FunctionName'), fputs(fid, X.FunctionName); "
             "elseif isfield(X,'Index'), fputs(fid, strcat(num2str(X.Index), '<|>', num2str(X.SelfTime), '<|>', "
             "num2str(X.TotalTime), '<|>', num2str(X.NumCalls), '<|>', num2str(size(X.Children,1)))); else, end, "
             "fputs(fid, '<#>'); if isstruct(X), F = fieldnames(X); "
             "nsub = length(F); Y = cell(1,nsub); subnames = cell(1,nsub); for i=1:nsub, f = F{i}; Y{i} = X.(f); "
             "subnames{i} = [Xname '.' f]; end, "
             "elseif CELLRECURSIVE && iscell(X), nsub = numel(X); s = size(X); Y = X(:); subnames = cell(1,nsub); "
             "for i=1:nsub, inds = s; "
             "globind = i-1; for k=1:length(s), inds(k) = 1+mod(globind,s(k)); globind = floor(globind/s(k)); end, "
             "subnames{i} = [Xname '{' num2str(inds,'%i,')];"
             "subnames{i}(end) = '}'; end, end, for i=1:nsub, a = Y{i}; if isstruct(a), if length(a)==1, "
             "rec_structdisp(subnames{i},a,fid), "
             "else, for k=1:length(a), rec_structdisp([subnames{i} '(' num2str(k) ')'],a(k),fid), end, end, "
             "elseif iscell(a), "
             "if size(a,1)<=CELLMAXROWS && size(a,2)<=CELLMAXCOLS && numel(a)<=CELLMAXELEMS, "
             "rec_structdisp(subnames{i},a,fid), end, "
             "elseif size(a,1)>1 && size(a,1)<=ARRAYMAXROWS && size(a,2)<=ARRAYMAXCOLS && numel(a)<=ARRAYMAXELEMS, "
             "disp([subnames{i} ':']),disp(a), end, end, end, "
             "function GetProfile(), T_prof=profile('info'); fn_structdisp(T_prof); end, GetProfile();";
}

bool CProfileStatements::ParseStatus(const std::string& answer, bool& on)
{
    if (answer.find("ProfilerStatus = on") != std::string::npos) {
        on = true;
        return true;
    }
    if (answer.find("ProfilerStatus = off") != std::string::npos) {
        on = false;
        return true;
    }
    return false;
}
