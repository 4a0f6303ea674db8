"""The converter's hostile inputs run through mosaiq-check, with the same limits of time and
memory: it must end, within them, with findings or without (status 1 or 0), never with a crash
(its status says so; standard error then holds the count of its findings).
"""

from cases_hostile import CASES as CONVERTER_CASES
from e2e import Case

CASES = [Case(case.name, ["in"], files=case.files, setup=case.setup, stdout=None, stderr=None,
              status={0, 1}, timeout=case.timeout, max_rss_mb=case.max_rss_mb,
              labels=case.labels, tags=case.tags)
         for case in CONVERTER_CASES]
