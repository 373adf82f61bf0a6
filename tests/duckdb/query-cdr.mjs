// Loads the call detail records of truno-decode --cdr, as CSV and as JSON Lines, into DuckDB and
// prints, as one JSON object, what the journeys test holds against --journeys: records,
// journeys, records whose seizure is a time of the traces' date, and records answered.
// Usage: node query-cdr.mjs CDR_CSV CDR_JSONL
import { DuckDBInstance } from '@duckdb/node-api';

const [csvFile, jsonFile] = process.argv.slice(2);
const db = await DuckDBInstance.create(':memory:');
const c = await db.connect();
const rows = async (sql) => (await c.runAndReadAll(sql)).getRowObjectsJson();
const counts = async (source) => (await rows(`
  select count(*) as records, count(distinct journey) as journeys,
         count(*) filter (where cast(try_cast(seizure_time as timestamp) as date) = date '2026-12-08') as dated,
         count(*) filter (where try_cast(answer_time as timestamp) is not null) as answered
  from ${source}`))[0];

console.log(JSON.stringify({
  csv: await counts(`read_csv('${csvFile}', header = true, auto_detect = true)`),
  json: await counts(`read_json_auto('${jsonFile}', format = 'newline_delimited')`),
}));
